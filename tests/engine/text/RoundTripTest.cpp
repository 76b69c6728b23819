// Compile, print, compile again: the printed text means what was compiled, and the
// printed text is stable from the second round on.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

std::string PrintOf(const std::string& formula, std::vector<bool>* table, const std::string& letters) {
  Session session(formula, {.width = 250});
  session.Run(FormulaCommand::Compile);
  EXPECT_EQ(session.doc.ParseError, 0) << formula;
  EXPECT_EQ(CheckTree(session.doc.Root), "") << formula;
  if (table != nullptr) *table = TruthTable(session.doc.Root, letters);
  std::string printed = Written(session.Run(FormulaCommand::Decompile));
  printed.pop_back();  // the line break
  return printed;
}

TEST(RoundTripTest, RandomFormulasSurvivePrintingAndRecompiling) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 3000; ++i) {
    const std::string formula = RandomFormula(random, {.letters = 6, .maxDepth = 6});
    const std::string letters = LettersOf(formula);
    std::vector<bool> first, second, third;
    const std::string printed = PrintOf(formula, &first, letters);
    EXPECT_EQ(first, TruthTableOfText(formula, letters)) << "the parser's tree means the text: " << formula;
    const std::string reprinted = PrintOf(printed, &second, letters);
    EXPECT_EQ(first, second) << formula << " printed as " << printed;
    EXPECT_EQ(PrintOf(reprinted, &third, letters), reprinted) << formula;
    EXPECT_EQ(first, third);
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace lumenark::testing
