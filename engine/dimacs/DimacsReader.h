#pragma once
// Reads a CNF in DIMACS, the SAT solvers' exchange format, as a formula:
//
//   c any comment                  p cnf 3 2        ->   (A|~C)&(~A|B|C)
//   c 2 = B   (names a letter)     1 -3 0
//   p cnf VARIABLES CLAUSES        -1 2 3 0
//
// Variable n is the n-th letter of A..Z, a..z, unless the file names the letters with
// lines "c n = X" (as DimacsWriter writes them); then every variable a clause uses needs
// one. A clause is a list of non-zero numbers ending in 0, over as many lines as it
// likes; a line starting with '%' ends the clauses (as SATLIB's files do). Lines end in
// LF, CR LF or a CR alone, and a UTF-8 byte-order mark at the start is skipped. At most 52
// variables, as there are 52 letters. The clauses join with '&', a clause's literals
// with '|'; an empty clause is the constant 0, a file without clauses the constant 1.
// The formula's lines are broken before a piece that would reach lineWidth, as the
// report output breaks them (with CR LF).
//
// Any file that is not such a CNF gets a message that names the line: a missing or
// second header, a header that is not "p cnf VARIABLES CLAUSES", more than 52
// variables, a number that is not one or is too large, a "-0", a variable the header
// does not have, a clause without its 0, more or fewer clauses than the header says.
// Nothing is read past maxTextBytes of formula. Memory counts against the budget
// (std::bad_alloc past it). Each line beats the heartbeat, and a stop (StopRequested)
// ends the reading with neither formula nor message.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/BudgetAllocator.h"

namespace lumenark {

struct DimacsFormula {
  BudgetString text;     // the formula, when message is empty and the reading was not stopped
  std::string message;   // why the file could not be read
  bool stopped = false;  // a stop ended the reading
};

DimacsFormula ReadDimacs(std::string_view file, std::int32_t lineWidth, std::size_t maxTextBytes);

}  // namespace lumenark
