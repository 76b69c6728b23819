// The window's figures: Minimal CNF of a1&b1|..|an&bn in an editor window offscreen,
// at Details 4 with Results on and at Details 1 (every step printed), beside the same
// work on the in-memory text of lumenark-cli; and the longest time the window system
// waited for its turn during each run (what a click on Stop may have to wait). A run
// still going after the limit is stopped with the stop dialog's button, as a user
// would, and the time from that click to the command's end is reported. A derivation
// that fills the window's text stops there by itself; the line says so.
//
//   window_bench [--limit SECONDS] [N [DETAILS...]]
//     N pairs (12), Details levels (4 1), limit 60 s; one line each:
//     window N DETAILS window-seconds memory-seconds longest-wait-ms stop-response-ms
//     full
//     (stop-response-ms is -1 when the run finished before the limit; full is 1 when
//     the command stopped because the text control was full)

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands/CommandFrame.h"
#include "dialogs/AboutBox.h"
#include "dialogs/StopDialog.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "editor/MemoControl.h"
#include "formula/FormulaDocument.h"
#include "frame/FrameForm.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Host.h"
#include "text/MemoryEditorText.h"

namespace {

std::string PairDisjunction(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += '|';
    text += static_cast<char>('A' + i);
    text += '&';
    text += static_cast<char>('a' + i);
  }
  return text;
}

class QuietHost final : public lumenark::Host {
 public:
  void ShowMessage(std::string_view) override {}
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return false; }
  void SetStopDialogVisible(bool) override {}
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double InMemory(const std::string& formula, int details) {
  lumenark::MemoryEditorText text(formula);
  text.SelectAll();
  QuietHost host;
  lumenark::FormulaDocument doc(text, host);
  doc.DetailLevel = static_cast<std::uint16_t>(details);
  const auto start = std::chrono::steady_clock::now();
  lumenark::RunFormulaCommand(doc, lumenark::FormulaCommand::MinimalCNF);
  return Seconds(start);
}

struct WindowRun {
  double seconds;
  double longestWait;   // seconds between two turns of the event loop
  double stopResponse;  // seconds from the click on Stop to the end; -1 if not stopped
  bool full;            // stopped because the text control could take no more
};

WindowRun InWindow(TFrameForm& frame, TForm2& stopDialog, const std::string& formula, int details,
                   double limit) {
  TEditForm* editor = frame.NewChild();
  editor->Memo1()->SetDocumentText(formula);
  editor->Text().SetSelectionStart(0);
  editor->Text().SetSelectionLength(formula.size());
  editor->Document().DetailLevel = static_cast<std::uint16_t>(details);
  editor->Document().ShowResults = true;
  QApplication::processEvents();

  // A timer that asks for a turn every millisecond measures how long each wait was.
  QElapsedTimer sinceTurn;
  double longest = 0;
  QTimer ticker;
  ticker.setInterval(1);
  QElapsedTimer sinceStop;
  const auto start = std::chrono::steady_clock::now();
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
    sinceTurn.restart();
    if (!sinceStop.isValid() && stopDialog.isVisible() && Seconds(start) > limit) {
      sinceStop.start();
      stopDialog.Button1()->click();
    }
  });
  ticker.start();
  sinceTurn.start();
  QStringList errors;
  Dialogs().error = [&](QWidget*, const QString& text) { errors.append(text); };
  editor->MinimalCNF1Click();
  const double seconds = Seconds(start);
  const double stopResponse = sinceStop.isValid() ? sinceStop.nsecsElapsed() / 1e9 : -1;
  longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
  ticker.stop();
  editor->Memo1()->document()->setModified(false);
  editor->close();
  QApplication::processEvents();
  return {seconds, longest, stopResponse, errors.contains(QStringLiteral("Text exceeds memo capacity."))};
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  double limit = 60;
  if (args.size() >= 2 && args[0] == "--limit") {
    limit = std::atof(args[1].c_str());
    args.erase(args.begin(), args.begin() + 2);
  }
  const int n = !args.empty() ? std::atoi(args[0].c_str()) : 12;
  const std::string formula = PairDisjunction(n);
  auto frame = std::make_unique<TFrameForm>();
  auto about = std::make_unique<TAboutBox>();
  auto form2 = std::make_unique<TForm2>();
  frame->Attach(*about, *form2);
  frame->show();
  std::vector<int> levels;
  for (std::size_t i = 1; i < args.size(); ++i) levels.push_back(std::atoi(args[i].c_str()));
  if (levels.empty()) levels = {4, 1};
  for (int details : levels) {
    const double memory = InMemory(formula, details);
    const WindowRun window = InWindow(*frame, *form2, formula, details, limit);
    std::printf("window\t%d\t%d\t%.4f\t%.4f\t%.1f\t%.1f\t%d\n", n, details, window.seconds, memory,
                window.longestWait * 1000, window.stopResponse < 0 ? -1.0 : window.stopResponse * 1000,
                window.full ? 1 : 0);
    std::fflush(stdout);
  }
  frame.reset();
  return 0;
}
