// The Formula commands on concrete formulas: exactly the text each writes, by Details
// level and Results option. One row per example; the first line of the document is
// the compiled selection and is not part of the expected text.

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace lumenark::testing {
namespace {

using C = FormulaCommand;

struct Example {
  const char* formula;
  FormulaCommand command;
  int details;
  bool results;
  const char* written;
};

void PrintTo(const Example& e, std::ostream* os) {
  *os << e.formula << " " << CommandName(e.command) << " details " << e.details << (e.results ? "" : " no results");
}

class CommandExampleTest : public ::testing::TestWithParam<Example> {};

TEST_P(CommandExampleTest, WritesExactly) {
  const Example& e = GetParam();
  Session session(e.formula, {.details = e.details, .results = e.results});
  EXPECT_EQ(Written(session.Run(e.command)), e.written);
  EXPECT_TRUE(session.host.messages.empty());
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(CheckTree(session.doc.Root), "");
}

INSTANTIATE_TEST_SUITE_P(Evaluate, CommandExampleTest, ::testing::Values(
    Example{"A&1", C::Evaluate, 4, true, "A\n"},
    Example{"A&0", C::Evaluate, 4, true, "0\n"},
    Example{"A|0", C::Evaluate, 4, true, "A\n"},
    Example{"A|1", C::Evaluate, 4, true, "1\n"},
    Example{"A=1", C::Evaluate, 4, true, "A\n"},
    Example{"1=A", C::Evaluate, 4, true, "A\n"},
    Example{"A=0", C::Evaluate, 4, true, "~A\n"},
    Example{"0=A", C::Evaluate, 4, true, "~A\n"},
    Example{"0>A", C::Evaluate, 4, true, "1\n"},
    Example{"1>A", C::Evaluate, 4, true, "A\n"},
    Example{"A>0", C::Evaluate, 4, true, "~A\n"},
    Example{"A>1", C::Evaluate, 4, true, "1\n"},
    Example{"~(A&0)", C::Evaluate, 4, true, "1\n"},
    Example{"~(A=0)", C::Evaluate, 4, true, "A\n"},
    Example{"~0&A", C::Evaluate, 4, true, "A\n"},
    Example{"1&0", C::Evaluate, 4, true, "0\n"},
    Example{"0=~1", C::Evaluate, 4, true, "1\n"},
    Example{"~1", C::Evaluate, 0, true, "~1\n"},
    Example{"A&(B|C)", C::Evaluate, 0, true, "A&(B|C)\n"},
    Example{"(A|1)&B", C::Evaluate, 0, true, "Constant evaluation:1&B\nConstant evaluation:B\nB\n"},
    Example{"(A|1)&B", C::Evaluate, 1, true, "B\n"},
    Example{"(A|1)&B", C::Evaluate, 3, true, "B\n"},
    Example{"(A|1)&B", C::Evaluate, 4, false, ""}));

INSTANTIATE_TEST_SUITE_P(Conversions, CommandExampleTest, ::testing::Values(
    Example{"A>B", C::Literals, 0, true, "Implication to conjunction:~(A&~B)\nConjunction to disjunction:~A|B\n~A|B\n"},
    Example{"A>B", C::Literals, 1, true, "Implication to conjunction:~(A&~B)\nConjunction to disjunction:~A|B\n~A|B\n"},
    Example{"A>B", C::Literals, 2, true, "~(A&~B)\n~A|B\n~A|B\n"},
    Example{"A>B", C::Literals, 3, true, "Result - Global conversion to literal form:~A|B\n~A|B\n"},
    Example{"A>B", C::Literals, 4, true, "~A|B\n"},
    Example{"A>B", C::Literals, 3, false, "Result - Global conversion to literal form:~A|B\n"},
    Example{"A&(B>C)", C::Disjunctions, 2, true, "~(~A|~(B>C))\n~(~A|~(~B|C))\n~(~A|~(~B|C))\n"},
    Example{"A=B", C::Implications, 1, true, "Equivalence to implication:~(A>B>~(B>A))\n~(A>B>~(B>A))\n"},
    Example{"A|B", C::Implications, 3, true, "Result - Global conversion to implication:~A>B\n~A>B\n"},
    Example{"A>B", C::Disjunctions, 3, true, "Result - Global conversion to disjunctions:~A|B\n~A|B\n"},
    Example{"A|B", C::Conjunctions, 3, true, "Result - Global conversion to conjunctions:~(~A&~B)\n~(~A&~B)\n"},
    Example{"~A", C::Conjunctions, 0, true, "~A\n"},
    Example{"1", C::Implications, 0, true, "1\n"}));

INSTANTIATE_TEST_SUITE_P(NormalForms, CommandExampleTest, ::testing::Values(
    Example{"A|B&C", C::Conjunctive, 4, true, "(A|B)&(A|C)\n"},
    Example{"A|B&C", C::Conjunctive, 1, true, "Distribution:(B|A)&(C|A)\n(A|B)&(A|C)\n"},
    Example{"A|B&C", C::Conjunctive, 2, true, "(B|A)&(C|A)\n(A|B)&(A|C)\n"},
    Example{"A|B&C", C::Conjunctive, 3, true,
            "Result - Global conversion to literal form:A|B&C\nResult - Conversion to CNF:(A|B)&(A|C)\n(A|B)&(A|C)\n"},
    Example{"A|B&C", C::Conjunctive, 4, false, ""},
    Example{"(A&B)|(C&D)", C::Conjunctive, 4, true, "(A|C)&(A|D)&(B|C)&(B|D)\n"},
    Example{"(A|B)&(C|D)", C::Disjunctive, 4, true, "A&C|A&D|B&C|B&D\n"},
    Example{"C|A|B|A", C::Conjunctive, 4, true, "A|B|C\n"},
    Example{"C|A|B|A", C::Conjunctive, 0, true, "Idempotention:0|A|B|C\nConstant evaluation:A|B|C\nA|B|C\n"},
    Example{"b|B|a|A", C::Conjunctive, 4, true, "A|B|a|b\n"},
    Example{"~B&A|C", C::Disjunctive, 4, true, "A&~B|C\n"},
    Example{"(B|A)&C&A", C::Conjunctive, 4, true, "(A|B)&A&C\n"},
    Example{"(A|B)&(B|A)", C::Conjunctive, 4, true, "(A|B)&(A|B)\n"},
    Example{"A|~A", C::Conjunctive, 4, true, "1\n"},
    Example{"B|A|~B", C::Conjunctive, 4, true, "1\n"},
    Example{"A&~A", C::Disjunctive, 4, true, "0\n"},
    Example{"A|A|A", C::Conjunctive, 4, true, "A\n"},
    Example{"A&B", C::Conjunctive, 4, true, "A&B\n"},
    Example{"~A", C::Disjunctive, 3, true, "Result - Global conversion to literal form:~A\nResult - Conversion to DNF:~A\n~A\n"}));

INSTANTIATE_TEST_SUITE_P(Minimisation, CommandExampleTest, ::testing::Values(
    Example{"(A|B)&(~A|B)", C::MinimalCNF, 4, true, "B\n"},
    Example{"A&B|A&~B", C::MinimalDNF, 4, true, "A\n"},
    Example{"A|A&B", C::MinimalDNF, 4, true, "A\n"},
    Example{"A&B|A", C::MinimalDNF, 4, true, "A\n"},
    Example{"A&(A|B)", C::MinimalCNF, 4, true, "A\n"},
    Example{"(A|B)&(~A|B|C)", C::MinimalCNF, 4, true, "(A|B)&(B|C)\n"},
    Example{"(A|B|C)&(A|B)", C::MinimalCNF, 4, true, "A|B\n"},
    Example{"(A|B)&(B|A)", C::MinimalCNF, 4, true, "A|B\n"},
    Example{"(A|B)&(~A|B)&(A|~B)", C::MinimalCNF, 4, true, "A&B\n"},
    Example{"(A|B)&(~A|~B)", C::MinimalCNF, 4, true, "(A|B)&(~A|~B)\n"},
    Example{"A&B|~A&C|B&C", C::MinimalDNF, 4, true, "A&B|~A&C|B&C\n"},
    Example{"A&~B|A&B|~A&B", C::MinimalDNF, 4, true, "A|B\n"},
    Example{"(A|B)&(~A|B)", C::MinimalCNF, 0, true,
            "Extension:(1|B)&(0|B)\nConstant evaluation:1&(0|B)\nConstant evaluation:1&B\nConstant evaluation:B\nB\n"},
    Example{"(A|B)&(~A|B)", C::MinimalCNF, 1, true, "Extension:(1|B)&(0|B)\nB\n"},
    Example{"(A|B)&(~A|B)", C::MinimalCNF, 3, true,
            "Result - Global conversion to literal form:(A|B)&(~A|B)\nResult - Conversion to CNF:(A|B)&(~A|B)\n"
            "Result - Reduction to minimal NF:B\nB\n"},
    Example{"A&B|A&~B", C::MinimalDNF, 1, true, "Extension:0&B|A&1\nA\n"},
    Example{"A", C::MinimalCNF, 3, true, "Result - Global conversion to literal form:A\nResult - Conversion to CNF:A\nA\n"}));

INSTANTIATE_TEST_SUITE_P(Decision, CommandExampleTest, ::testing::Values(
    Example{"A|~A", C::Decision, 4, true, "This formula is valid.\n"},
    Example{"A&~A", C::Decision, 4, true, "This formula is not consistent.\n"},
    Example{"(A|B)&(~A|B)&(A|~B)&(~A|~B)", C::Decision, 4, true, "This formula is not consistent.\n"},
    Example{"A&B|~A&C|~B|~C", C::Decision, 4, true, "This formula is valid.\n"},
    Example{"(A|B)&~A", C::Decision, 4, true, "This formula is consistent.Its models can be expressed as DNF:\n~A&B\n"},
    Example{"(A|B)&(A|~B)", C::Decision, 4, false, "This formula is consistent.Its models can be expressed as DNF:\nA\n"},
    Example{"A", C::Decision, 4, true, "This formula is consistent.Its models can be expressed as DNF:\nA\n"},
    Example{"1", C::Decision, 4, true, "This formula is valid.\n"},
    Example{"~0", C::Decision, 4, true, "This formula is valid.\n"},
    Example{"0", C::Decision, 4, false, "This formula is not consistent.\n"},
    Example{"~1", C::Decision, 4, true, "This formula is not consistent.\n"},
    Example{"A|~A", C::Decision, 3, true,
            "Result - Global conversion to literal form:A|~A\nResult - Conversion to DNF:1\nThis formula is valid.\n"},
    // Valid, though no two clauses of its minimal DNF absorb or merge: three pigeons
    // do not fit into two holes, one pigeon a hole.
    Example{"~((A|B)&(C|D)&(E|F)&~(A&C)&~(A&E)&~(C&E)&~(B&D)&~(B&F)&~(D&F))", C::Decision, 3, true,
            "Result - Global conversion to literal form:~A&~B|~C&~D|~E&~F|A&C|A&E|C&E|B&D\n|B&F|D&F\n"
            "Result - Conversion to DNF:~A&~B|~C&~D|~E&~F|A&C|A&E|C&E|B&D|B&F|D&F\n"
            "Result - Reduction to minimal NF:~A&~B|~C&~D|~E&~F|A&C|A&E|C&E|B&D|B&F|D&F\n"
            "This formula is valid.\n"},
    Example{"A&B|A&~B", C::Decision, 3, true,
            "Result - Global conversion to literal form:A&B|A&~B\nResult - Conversion to DNF:A&B|A&~B\n"
            "Result - Reduction to minimal NF:A\nThis formula is consistent.Its models can be expressed as DNF:\nA\n"}));

}  // namespace
}  // namespace lumenark::testing
