// How one long line fares in an editor window's text control: the time to set it, to
// paint the window at its start and at its end, where the layout puts the last
// character (against where it belongs), and the peak memory. Past 2^25 pixels the
// layout's 26.6 fixed-point positions wrap round: the end lands at a negative x and
// the line can no longer be scrolled.
//
//   QT_QPA_PLATFORM=offscreen build/bin/line_bench [CHARACTERS...]
//
// The line repeats "A|B&"; without arguments it measures 1, 2, 4, 4.4 and 8 million
// characters, one control after another.

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/MemoControl.h"

namespace {

void Measure(long characters) {
  std::string line;
  while (static_cast<long>(line.size()) < characters) line += "A|B&";
  line.resize(static_cast<std::size_t>(characters));
  MemoControl memo(nullptr);
  memo.resize(440, 294);
  memo.show();
  QElapsedTimer clock;
  clock.start();
  memo.SetDocumentText(line);
  const qint64 set = clock.restart();
  memo.grab();
  const qint64 paintStart = clock.restart();
  memo.horizontalScrollBar()->setValue(memo.horizontalScrollBar()->maximum());
  memo.grab();
  const qint64 paintEnd = clock.restart();
  const QTextLine layout = memo.document()->firstBlock().layout()->lineAt(0);
  const double advance = QFontMetricsF(memo.font()).horizontalAdvance(QLatin1Char('A'));
  std::printf("%9ld characters: set %5lld ms, paint %4lld ms, at the end %4lld ms; last x %11.0f px (belongs at %11.0f), "
              "scroll range %d px\n",
              characters, static_cast<long long>(set), static_cast<long long>(paintStart),
              static_cast<long long>(paintEnd), layout.cursorToX(static_cast<int>(characters - 1)),
              static_cast<double>(characters - 1) * advance, memo.horizontalScrollBar()->maximum());
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) Measure(std::atol(argv[i]));
  } else {
    for (long characters : {1'000'000L, 2'000'000L, 4'000'000L, 4'400'000L, 8'000'000L}) Measure(characters);
  }
  return 0;
}
