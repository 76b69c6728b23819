// The window's figures: Minimal CNF of a1&b1|..|an&bn in an editor window offscreen,
// at Details 4 with Results on and at Details 1 (every step printed), beside the same
// work on the in-memory text of lumenark-cli; and the longest time the window system
// waited for its turn during each run (what a click on Stop may have to wait).
//
//   window_bench [N [DETAILS...]]   N pairs (12), Details levels (4 1); one line each

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "AboutBox.h"
#include "CommandFrame.h"
#include "EditForm.h"
#include "EngineGlobals.h"
#include "FormulaDocument.h"
#include "FrameForm.h"
#include "Host.h"
#include "MemoControl.h"
#include "MemoryEditorText.h"
#include "StopDialog.h"

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
  double longestWait;  // seconds between two turns of the event loop
};

WindowRun InWindow(TFrameForm& frame, const std::string& formula, int details) {
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
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
    sinceTurn.restart();
  });
  ticker.start();
  sinceTurn.start();
  const auto start = std::chrono::steady_clock::now();
  editor->MinimalCNF1Click();
  const double seconds = Seconds(start);
  longest = std::max(longest, sinceTurn.nsecsElapsed() / 1e9);
  ticker.stop();
  editor->Memo1()->document()->setModified(false);
  editor->close();
  QApplication::processEvents();
  return {seconds, longest};
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 12;
  const std::string formula = PairDisjunction(n);
  auto frame = std::make_unique<TFrameForm>();
  auto about = std::make_unique<TAboutBox>();
  auto form2 = std::make_unique<TForm2>();
  frame->Attach(*about, *form2);
  frame->show();
  std::vector<int> levels;
  for (int i = 2; i < argc; ++i) levels.push_back(std::atoi(argv[i]));
  if (levels.empty()) levels = {4, 1};
  for (int details : levels) {
    const double memory = InMemory(formula, details);
    const WindowRun window = InWindow(*frame, formula, details);
    std::printf("window\t%d\t%d\t%.4f\t%.4f\t%.1f\n", n, details, window.seconds, memory, window.longestWait * 1000);
  }
  frame.reset();
  return 0;
}
