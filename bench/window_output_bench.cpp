// The window's output at full size: one Formula command run from its menu item in an
// editor window offscreen (or on a display), timed from the click until the window
// has drawn its text scrolled to the end, with the longest time the window system
// waited for its turn meanwhile (what a click on Stop may have to wait) and the number
// of times the text grew on the screen while the command ran.
//
//   window_output_bench [--wrap] [--undo] [--stop-after SECONDS] [--save FILE] [--show SECONDS]
//                       COMMAND DETAILS FORMULA
//     COMMAND: truthtable, cnf, dnf, mincnf, mindnf, decision, decompile (the
//     formula compiled first, untimed); FORMULA @FILE takes the formula from FILE; one
//     line:
//     output SECONDS COMMAND-SECONDS LONGEST-WAIT-MS STOP-RESPONSE-MS FULL BYTES LINES
//            GROWTHS PEAK-KB CPU-SECONDS
//   --stop-after  clicks the stop dialog's Stop button that many seconds after the
//                 click on the menu item, as a user would; STOP-RESPONSE-MS is the time
//                 from that click to the command's end (-1 when it ended before)
//   --save        writes the window's text to FILE (CR LF line breaks), for comparison
//                 with lumenark-cli --crlf
//   --show        keeps the window up that long at the end, scrolled to the end of the
//                 text (for a screenshot)
//   --wrap        turns word wrap on and off again at the end, which lays the whole
//                 text out, and prints a second line: wrap SECONDS PEAK-KB
//   --undo        then Edit > Undo, Edit > Redo and Edit > Undo of the output, a line
//                 each: undo|redo SECONDS LONGEST-WAIT-MS PEAK-KB RESIDENT-KB TEXT-BYTES
//                 (SECONDS until the text is drawn again; RESIDENT-KB a second later);
//                 then a letter typed, and a second later: typed RESIDENT-KB TEXT-BYTES
//   FULL is 1 when the command was stopped because the text could take no more.
//   PEAK-KB is the process's peak resident size; CPU-SECONDS the processor time of the
//   command until the text was drawn (user and system, all threads), which a busy
//   machine changes less than the time on the clock.
//
//   window_output_bench --document FILE
//     puts the document FILE (as lumenark-cli --crlf writes it) into a text document of
//     Qt's plain text control, with no window, in the pieces and undo steps a command's
//     output takes: what the window cannot do faster. One line:
//     document SECONDS PEAK-KB CPU-SECONDS
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "dialogs/AboutBox.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "formula/BackgroundDisposal.h"
#include "frame/FrameForm.h"
#include "runtime/MemoryBudget.h"
#include "text/Latin1Text.h"

namespace {

using Click = void (TEditForm::*)();

const std::map<std::string, Click> kCommands = {
    {"truthtable", &TEditForm::TruthTable1Click}, {"cnf", &TEditForm::Conjunctive1Click},
    {"dnf", &TEditForm::Disjunctive1Click},       {"mincnf", &TEditForm::MinimalCNF1Click},
    {"mindnf", &TEditForm::MinimalDNF1Click},     {"decision", &TEditForm::Decision1Click},
    {"decompile", &TEditForm::Decompile2Click},
};

int Usage() {
  std::fprintf(stderr,
               "usage: window_output_bench [--wrap] [--undo] [--stop-after SECONDS] [--save FILE] [--show SECONDS] "
               "COMMAND DETAILS FORMULA\n");
  return 2;
}

// The process's resident size now, in kilobytes.
long ResidentKilobytes() { return lumenark::bench::StatusKilobytes("VmRSS"); }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The text as the window's output goes in, without the window: pieces of 256 KB, one
// step to undo.
int DocumentAlone(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return 3;
  const QByteArray bytes = file.readAll();
  QTextDocument document;
  document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
  const double cpuBefore = CpuSeconds();
  QElapsedTimer clock;
  clock.start();
  QTextCursor cursor(&document);
  constexpr qsizetype kPiece = 256 * 1024;
  for (qsizetype at = 0; at < bytes.size(); at += kPiece) {
    if (at == 0) cursor.beginEditBlock();
    else cursor.joinPreviousEditBlock();
    cursor.insertText(ControlTextFromDocument(std::string_view(bytes.constData() + at,
                                                                static_cast<std::size_t>(std::min(kPiece, bytes.size() - at)))));
    cursor.endEditBlock();
  }
  std::printf("document\t%.4f\t%ld\t%.4f\n", clock.nsecsElapsed() / 1e9, lumenark::bench::PeakResidentKilobytes(),
              CpuSeconds() - cpuBefore);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--document") return DocumentAlone(args[1]);
  double stopAfter = -1;
  double show = 0;
  bool wrap = false;
  bool undo = false;
  std::string savePath;
  while (!args.empty() && (args[0] == "--wrap" || args[0] == "--undo")) {
    (args[0] == "--wrap" ? wrap : undo) = true;
    args.erase(args.begin());
  }
  while (args.size() >= 2 && args[0].starts_with("--")) {
    if (args[0] == "--stop-after") stopAfter = std::atof(args[1].c_str());
    else if (args[0] == "--save") savePath = args[1];
    else if (args[0] == "--show") show = std::atof(args[1].c_str());
    else return Usage();
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 3 || !kCommands.contains(args[0])) return Usage();
  const Click command = kCommands.at(args[0]);
  const int details = std::atoi(args[1].c_str());
  std::string formula = args[2];
  if (formula.starts_with("@")) {  // @FILE: the formula is the file's text
    QFile file(QString::fromStdString(formula.substr(1)));
    if (!file.open(QIODevice::ReadOnly)) return 3;
    formula = file.readAll().toStdString();
  }

  // As the program sets itself up.
  QApplication::setQuitOnLastWindowClosed(false);
  lumenark::SetBackgroundDisposal(true);
  lumenark::SetMemoryLimit(lumenark::MemoryLimitFromEnvironment());
  auto frame = std::make_unique<TFrameForm>();
  auto about = std::make_unique<TAboutBox>();
  auto form2 = std::make_unique<TForm2>();
  frame->Attach(*about, *form2);
  frame->resize(1000, 700);
  frame->show();
  frame->activateWindow();
  TEditForm* editor = frame->NewChild();
  if (auto* window = qobject_cast<QMdiSubWindow*>(editor->parentWidget())) window->showMaximized();
  editor->Memo1()->SetDocumentText(formula);
  editor->Memo1()->selectAll();
  // Decompile prints the window's tree where Compile left the caret, on a line of its
  // own below the formula, which stays on the screen.
  if (command == &TEditForm::Decompile2Click) editor->Cmpile1Click();
  editor->Document().DetailLevel = static_cast<std::uint16_t>(details);
  editor->Document().ShowResults = true;
  QStringList errors;
  Dialogs().error = [&](QWidget*, const QString& text) { errors.append(text); };
  Dialogs().message = [&](QWidget*, const QString& text) { errors.append(text); };
  for (int i = 0; i < 10; ++i) QApplication::processEvents();

  // A timer that asks for a turn every millisecond measures how long each wait was, and
  // notes each time the text has grown since the last turn.
  QElapsedTimer clock;
  QElapsedTimer sinceTurn;
  QElapsedTimer sinceStop;
  double longest = 0;
  int growths = 0;
  int lastBlocks = editor->Memo1()->document()->blockCount();
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
    sinceTurn.restart();
    const int blocks = editor->Memo1()->document()->blockCount();
    if (blocks != lastBlocks) ++growths;
    lastBlocks = blocks;
    if (stopAfter >= 0 && !sinceStop.isValid() && form2->isVisible() && clock.elapsed() >= stopAfter * 1000) {
      sinceStop.start();
      form2->Button1()->click();
    }
  });
  const double cpuBefore = CpuSeconds();
  clock.start();
  sinceTurn.start();
  ticker.start();
  (editor->*command)();
  const double commandSeconds = clock.nsecsElapsed() / 1e9;
  const double stopResponse = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e9 : -1;
  longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
  ticker.stop();
  // What the user sees at the end: the text scrolled to its last line, drawn.
  editor->Memo1()->moveCursor(QTextCursor::End);
  editor->Memo1()->ensureCursorVisible();
  QApplication::processEvents();
  editor->Memo1()->viewport()->repaint();
  const double seconds = clock.nsecsElapsed() / 1e9;
  const double cpu = CpuSeconds() - cpuBefore;

  const QTextDocument& text = *editor->Memo1()->document();
  const bool full = errors.contains(QStringLiteral("Text exceeds memo capacity."));
  for (const QString& error : errors) std::fprintf(stderr, "%s\n", qPrintable(error));
  std::printf("output\t%.4f\t%.4f\t%.1f\t%.1f\t%d\t%zu\t%d\t%d\t%ld\t%.4f\n", seconds, commandSeconds,
              longest * 1000, stopResponse < 0 ? -1.0 : stopResponse * 1000, full ? 1 : 0, DocumentSize(text),
              text.blockCount(), growths, lumenark::bench::PeakResidentKilobytes(), cpu);
  std::fflush(stdout);
  if (undo) {
    // Undo and Redo of the whole output from the menu, each timed until the window has
    // drawn its text again, with the longest wait for input meanwhile, the peak and the
    // resident size afterwards (after the clock's ticks that give free memory back).
    const auto step = [&](const char* name, void (TEditForm::*item)()) {
      lumenark::bench::ResetPeakResident();
      longest = 0;
      QElapsedTimer stepClock;
      stepClock.start();
      sinceTurn.start();
      ticker.start();
      (editor->*item)();
      while (editor->CommandRunning()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
      QApplication::processEvents();
      editor->Memo1()->viewport()->repaint();
      longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
      ticker.stop();
      const double stepSeconds = stepClock.nsecsElapsed() / 1e9;
      const long peak = lumenark::bench::PeakResidentKilobytes();
      QElapsedTimer idle;
      idle.start();
      while (idle.elapsed() < 1000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
      std::printf("%s\t%.4f\t%.1f\t%ld\t%ld\t%zu\n", name, stepSeconds, longest * 1000, peak, ResidentKilobytes(),
                  DocumentSize(*editor->Memo1()->document()));
      std::fflush(stdout);
    };
    step("undo", &TEditForm::Undo1Click);
    step("redo", &TEditForm::Redo1Click);
    // Undone again and then typed over: Redo is gone, and with it what it kept.
    step("undo", &TEditForm::Undo1Click);
    editor->Memo1()->insertPlainText(QStringLiteral("x"));
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 1000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::printf("typed\t%ld\t%zu\n", ResidentKilobytes(), DocumentSize(*editor->Memo1()->document()));
    std::fflush(stdout);
  }
  if (wrap) {
    QElapsedTimer wrapping;
    wrapping.start();
    editor->Memo1()->SetWordWrap(true);
    QApplication::processEvents();
    editor->Memo1()->SetWordWrap(false);
    QApplication::processEvents();
    std::printf("wrap\t%.4f\t%ld\n", wrapping.nsecsElapsed() / 1e9, lumenark::bench::PeakResidentKilobytes());
    std::fflush(stdout);
  }
  if (!savePath.empty()) {
    QFile file(QString::fromStdString(savePath));
    if (!file.open(QIODevice::WriteOnly)) return 3;
    const std::string bytes = editor->Memo1()->DocumentText();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  if (show > 0) {
    QTimer::singleShot(static_cast<int>(show * 1000), &application, &QApplication::quit);
    QApplication::exec();
  }
  editor->Memo1()->document()->setModified(false);
  frame.reset();
  lumenark::WaitForBackgroundDisposal();
  return 0;
}
