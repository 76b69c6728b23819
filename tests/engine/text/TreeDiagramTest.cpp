// The tree diagram: placement, connector lines, trimming, and refusal of trees too
// large for the grid.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

std::string Diagram(const std::string& formula, Options options = {}) {
  return Written(Derive(formula, {FormulaCommand::Tree}, options));
}

TEST(TreeDiagramTest, WorkedExampleWithResults) {
  EXPECT_EQ(Diagram("~(A&B)=1"),
            "    =\n"
            " __/ \\\n"
            "~    1\n"
            " \\\n"
            "  &\n"
            " / \\\n"
            " A B\n"
            "\n");
}

TEST(TreeDiagramTest, WithoutResultsEveryLineHasTheFullWidth) {
  EXPECT_EQ(Diagram("~(A&B)=1", {.results = false}),
            "    =  \n"
            " __/ \\ \n"
            "~    1 \n"
            " \\     \n"
            "  &    \n"
            " / \\   \n"
            " A B   \n"
            "       \n");
}

TEST(TreeDiagramTest, SecondExample) {
  EXPECT_EQ(Diagram("A&B|~C"), "   |\n  / \\\n &  ~\n/ \\  \\\nA B  C\n\n");
}

TEST(TreeDiagramTest, LiteralsAndNegations) {
  EXPECT_EQ(Diagram("A"), "A\n\n");
  EXPECT_EQ(Diagram("~A"), "~\n \\\n A\n\n");
  EXPECT_EQ(Diagram("~~~A"), "~\n \\\n A\n\n");
}

TEST(TreeDiagramTest, NegatedRightOperand) {
  EXPECT_EQ(Diagram("A>~(B|C)"),
            " >\n"
            "/ \\\n"
            "A ~\n"
            "   \\\n"
            "    |\n"
            "   / \\\n"
            "   B C\n"
            "\n");
}

TEST(TreeDiagramTest, ConnectorRunsReachTheOperands) {
  EXPECT_EQ(Diagram("A|(B|C)&D"),
            " |\n"
            "/ \\__\n"
            "A    &\n"
            "    / \\\n"
            "   |  D\n"
            "  / \\\n"
            "  B C\n"
            "\n");
}

TEST(TreeDiagramTest, NoTreeClearsTheGridAndWritesNothing) {
  Session session("A&B");
  session.Run(FormulaCommand::Tree);
  session.doc.DisposeTree();
  const std::string before = session.Text();
  session.doc.XDecompTree();
  EXPECT_EQ(session.Text(), before);
  EXPECT_EQ(session.doc.DiagramCounter, 1);
  EXPECT_EQ(session.doc.DiagramGrid.size(), 250000u);
  EXPECT_EQ(std::count(session.doc.DiagramGrid.begin(), session.doc.DiagramGrid.end(), ' '),
            static_cast<long>(session.doc.DiagramGrid.size()));
}

TEST(TreeDiagramTest, WideLinesAreWrittenWholeAfterAnEmptyLine) {
  // A right-nested chain: each row lies further right, the deepest ones beyond 21 columns.
  std::string formula = "A";
  for (char c = 'B'; c <= 'L'; ++c) formula = std::string(1, c) + "&" + formula;
  const std::string diagram = Diagram(formula, {.width = 21});
  bool wideLineAfterEmptyLine = false;
  std::string previous = "x";
  for (std::size_t start = 0, end; (end = diagram.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = diagram.substr(start, end - start);
    EXPECT_TRUE(line.empty() || line.back() != ' ') << line;
    if (line.size() >= 21 && previous.empty()) wideLineAfterEmptyLine = true;
    previous = line;
  }
  EXPECT_TRUE(wideLineAfterEmptyLine) << diagram;
}

TEST(TreeDiagramTest, TreeCommandWithoutSelectionOrWithBadFormula) {
  Session session("A|B");
  session.Run(FormulaCommand::Compile);
  const std::string before = session.Text();
  session.Run(FormulaCommand::Tree);
  EXPECT_EQ(session.host.messages, std::vector<std::string>{"No selected text."});
  EXPECT_TRUE(session.text.Visible());
  session.text.ReplaceSelection("A&");
  session.text.SetSelectionStart(session.text.Size() - 2);
  session.text.SetSelectionLength(2);
  session.Run(FormulaCommand::Tree);
  EXPECT_EQ(session.host.messages.back(), "Missing expression.");
  EXPECT_EQ(session.Text(), before + "A&") << "a failed compile draws nothing";
}

TEST(TreeDiagramTest, TreesBeyondTheGridAreRefused) {
  std::string fits = "A";  // 250 literals and 249 operators: 499 placed symbols
  for (int i = 1; i < 250; ++i) fits += "&A";
  EXPECT_FALSE(Diagram(fits).empty());

  Session session(fits + "&A");
  session.Run(FormulaCommand::Tree);
  EXPECT_EQ(session.host.messages, std::vector<std::string>{"Formula too large for a tree diagram."});
  EXPECT_EQ(Written(session.Text()), "") << "nothing but the compile's line break";

  Session negations("~(" + fits + ")");
  negations.Run(FormulaCommand::Tree);
  EXPECT_EQ(negations.host.messages, std::vector<std::string>{"Formula too large for a tree diagram."});
}

}  // namespace
}  // namespace lumenark::testing
