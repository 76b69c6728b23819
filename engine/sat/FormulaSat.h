#pragma once
// Satisfiability of formula trees, answered by the CaDiCaL SAT solver.
//
// A tree is encoded once (Tseitin): every operator node gets a solver variable that is
// equivalent to its subformula, so the formula and its negation can both be asked, and
// under assumptions. The letters are the solver variables 1 to 52 ('A'..'Z', 'a'..'z').
//
//   FormulaSat sat(host);
//   const int formula = sat.Encode(root);        // 0 when memory or Stop ended it
//   sat.Solve({formula});                        // Satisfiable: sat.Value(...) reads a model
//   sat.Solve({-formula});                       // Unsatisfiable: the formula is valid
//
// The solver polls the stop flag: pending input is processed while it searches, and
// StopRequested (a click on Stop, exhausted memory) ends the search as Stopped. Its
// memory counts against the budget: an estimate is charged as the formula is encoded,
// and the heap's growth while it searches is charged as it comes. A refused charge ends
// the search as exhausted memory (StopForExhaustedMemory), or, for a caller that can do
// without the solver (Refusal::EndsSolver), ends only the solver: OutOfMemory() is then
// true, every later call answers Stopped, and the command's flags are left alone.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>
#include <span>

#include "formula/FormulaNode.h"
#include "runtime/Host.h"

namespace CaDiCaL {
class Solver;
}

namespace lumenark {

enum class SatAnswer { Satisfiable, Unsatisfiable, Stopped };

class FormulaSat {
 public:
  enum class Refusal { EndsCommand, EndsSolver };  // what a refused memory charge ends
  explicit FormulaSat(Host& host, Refusal refusal = Refusal::EndsCommand);
  ~FormulaSat();
  FormulaSat(const FormulaSat&) = delete;
  FormulaSat& operator=(const FormulaSat&) = delete;

  // ---- Problem ---------------------------------------------------------------------
  static int LetterVariable(char letter);  // 1..52; 0 for a constant or another character
  // The solver literal equivalent to the tree's formula; 0 after a stop or a refused charge.
  int Encode(const FormulaNode* root);
  // Asserts that the tree's formula has the given value, for every later Solve: a
  // conjunction's elements one by one, a clause of literals as it stands, the rest with
  // a variable per operator that implies its subformula's value (the one direction that
  // asserting needs, so that a CNF reaches the solver as its own clauses). False after a
  // stop or a refused charge.
  bool Assert(const FormulaNode* root, bool value);
  int NewVariable() { return ++variables_; }  // a variable of the caller's own encoding
  // A clause over solver literals, kept for every later Solve; false on a refused charge.
  bool AddClause(std::span<const int> literals);

  // ---- Solving ---------------------------------------------------------------------
  // With a limit on conflicts, a search that reaches it answers Stopped with neither
  // StopRequested nor OutOfMemory set; a later Solve may go on from there.
  SatAnswer Solve(std::span<const int> assumptions, int conflictLimit = -1);
  SatAnswer Solve(std::initializer_list<int> assumptions) {
    return Solve(std::span<const int>(assumptions.begin(), assumptions.size()));
  }
  bool Value(int literal) const;  // after Satisfiable: whether the literal is true
  // After Satisfiable: the letters of the mask (LetterBit) that are true.
  std::uint64_t TrueLetters(std::uint64_t letters) const;
  bool OutOfMemory() const { return outOfMemory_; }  // a charge was refused

 private:
  class Watch;
  bool Charge(std::uint64_t bytes);
  void Refused();
  bool Ended() const;
  void Define(int variable, char symbol, int left, int right);
  int TrueLiteral();
  int Implying(const FormulaNode* node, bool value);
  bool Require(std::span<const int> guard, const FormulaNode* node, bool value);

  Host& host_;
  std::unique_ptr<CaDiCaL::Solver> solver_;
  std::unique_ptr<Watch> watch_;
  int variables_ = 52;   // the letters come first
  int true_ = 0;         // a variable fixed true, for the constants
  std::uint64_t charged_ = 0;
  const Refusal refusal_;
  bool outOfMemory_ = false;
};

}  // namespace lumenark
