// Every message that names a count names one thing in the singular: "1 clause", not
// "1 clauses". Each message at the count 1, and at another count beside it.

#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.h"
#include "dimacs/DimacsReader.h"
#include "dimacs/DimacsWriter.h"
#include "runtime/EngineStack.h"
#include "runtime/Heartbeat.h"
#include "runtime/CountText.h"
#include "runtime/MemoryBudget.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

std::string DimacsMessage(const std::string& file, std::size_t maxTextBytes = std::size_t{1} << 20) {
  BeginMemoryBudget();
  return ReadDimacs(file, 77, maxTextBytes).message;
}

std::string DimacsComments(const std::string& formula) {
  const std::string written = Written(Derive(formula, {C::Dimacs}));
  return written.substr(0, written.find("\nc 1 = "));
}

// The comments of a Tseitin encoding, asked for by name.
std::string TseitinComments(const std::string& formula) {
  Session session(formula);
  session.doc.XComp();
  RunOnEngineStack([&] {
    HeartbeatScope beat(session.host);
    WriteDimacs(session.doc, DimacsEncoding::Tseitin);
  });
  const std::string written = Written(session.Text());
  return written.substr(0, written.find("\nc 1 = "));
}

struct CountedMessage {
  const char* what;
  std::function<std::string()> message;
  const char* expected;
};

TEST(CountedMessagesTest, OneIsSingular) {
  const CountedMessage messages[] = {
      {"count", [] { return CountOf(1, "branch") + " " + CountOf(2, "branch") + " " + CountOf(0, "line"); },
       "1 branch 2 branches 0 lines"},
      {"memory size", [] { return MemorySizeText(1) + ", " + MemorySizeText(1000); }, "1 byte, 1000 bytes"},
      {"variables of the header", [] { return DimacsMessage("p cnf 1 1\n2 0\n"); },
       "Line 2: variable 2 is not among the header's 1 variable."},
      {"variables of the header", [] { return DimacsMessage("p cnf 0 1\n1 0\n"); },
       "Line 2: variable 1 is not among the header's 0 variables."},
      {"more clauses", [] { return DimacsMessage("p cnf 2 1\n1 0\n2 0\n"); },
       "Line 3: more clauses than the header's 1 clause."},
      {"announced clauses", [] { return DimacsMessage("p cnf 2 1\n"); },
       "Line 1: the header announces 1 clause, the file has 0."},
      {"announced clauses", [] { return DimacsMessage("p cnf 2 2\n1 0\n"); },
       "Line 1: the header announces 2 clauses, the file has 1."},
      {"text of the formula", [] { return DimacsMessage("p cnf 2 1\n1 2 0\n", 1); },
       "The formula of this file is too long for the text: more than 1 character."},
      {"Tseitin variables", [] { return DimacsComments("(A&B)|(C&D)|(E&F)|(G&H)|(I&J)|(K&L)|(M&N)|(O&P)|(Q&R)|(S&T)|(U&V)|(W&X)|(Y&Z)|(a&b)"); },
       "c Tseitin encoding: equisatisfiable with the formula, not equivalent to it\n"
       "c variables 29 to 55 stand for its subformulas"},
      {"Tseitin variable", [] { return TseitinComments("A&B"); },
       "c Tseitin encoding: equisatisfiable with the formula, not equivalent to it\n"
       "c variable 3 stands for its subformula"},
      {"tableau summary", [] { return Written(Derive("A", {C::Tableau}, {.details = 3})); },
       "Result - Tableau: 1 line, 1 branch, 0 closed\nA branch stays open: the formula is not valid.\nCountermodel: A=0\n"},
      {"tableau summary", [] { return Written(Derive("A|B", {C::Tableau}, {.details = 3})); },
       "Result - Tableau: 3 lines, 1 branch, 0 closed\nA branch stays open: the formula is not valid.\n"
       "Countermodel: A=0 B=0\n"},
  };
  for (const CountedMessage& m : messages) EXPECT_EQ(m.message(), m.expected) << m.what;
}

}  // namespace
}  // namespace lumenark::testing
