#include "dimacs/DimacsReader.h"

#include <array>
#include <optional>

#include "runtime/CountText.h"
#include "runtime/EngineGlobals.h"
#include "runtime/Heartbeat.h"

namespace lumenark {
namespace {

constexpr int kMaxVariables = 52;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::int64_t kLargest = 2147483647;  // what the solvers take

// A message of the reader: the line it concerns, then what is wrong.
struct DimacsRefusal {
  std::string message;
};
// Stop was pressed while the file was read.
struct DimacsStopped {};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string AtLine(std::size_t line, const std::string& what) { return "Line " + std::to_string(line) + ": " + what; }

// A token as a message shows it: printable, and not endless.
std::string ShownToken(std::string_view token) {
  std::string shown;
  for (char c : token.substr(0, 20)) shown += static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) < 127 ? c : '?';
  return "\"" + shown + (token.size() > 20 ? "...\"" : "\"");
}

bool IsDimacsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

class LineTokens {
 public:
  explicit LineTokens(std::string_view line) : line_(line) {}
  std::optional<std::string_view> Next() {
    while (at_ < line_.size() && IsDimacsBlank(line_[at_])) ++at_;
    if (at_ == line_.size()) return std::nullopt;
    const std::size_t start = at_;
    while (at_ < line_.size() && !IsDimacsBlank(line_[at_])) ++at_;
    return line_.substr(start, at_ - start);
  }

 private:
  std::string_view line_;
  std::size_t at_ = 0;
};

// A decimal number, with a '-' where sign allows; nothing when the token is none.
// Numbers past what the solvers take are refused as too large.
std::optional<std::int64_t> DimacsNumber(std::string_view token, bool sign, std::size_t line) {
  const bool negative = sign && !token.empty() && token[0] == '-';
  const std::string_view digits = token.substr(negative ? 1 : 0);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > kLargest) throw DimacsRefusal{AtLine(line, "the number " + ShownToken(token) + " is too large.")};
  }
  return negative ? -value : value;
}

class DimacsParser {
 public:
  DimacsParser(std::int32_t lineWidth, std::size_t maxTextBytes) : width_(static_cast<std::size_t>(lineWidth)), maxBytes_(maxTextBytes) {}

  DimacsFormula Read(std::string_view file) {
    DimacsFormula result;
    try {
      ReadLines(file);
      Finish();
      result.text = std::move(text_);
    } catch (const DimacsRefusal& refusal) {
      result.message = refusal.message;
    } catch (const DimacsStopped&) {
      result.stopped = true;
    }
    return result;
  }

 private:
  // Lines end in LF, CR LF or a CR alone (as old Macintosh files have them); a UTF-8
  // byte-order mark before the first line is no part of it.
  void ReadLines(std::string_view file) {
    if (file.starts_with(kByteOrderMark)) file.remove_prefix(kByteOrderMark.size());
    for (std::size_t line = 1; !file.empty(); ++line) {
      Heartbeat();
      if (StopRequested) throw DimacsStopped{};
      const std::size_t end = file.find_first_of("\r\n");
      const std::string_view text = file.substr(0, end);
      const bool crLf = end != std::string_view::npos && file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n';
      file.remove_prefix(end == std::string_view::npos ? file.size() : end + (crLf ? 2 : 1));
      std::size_t first = 0;
      while (first < text.size() && IsDimacsBlank(text[first])) ++first;
      if (first == text.size()) continue;
      if (text[first] == 'c') {
        Comment(text.substr(first + 1), line);
      } else if (text[first] == '%') {
        return;
      } else if (text[first] == 'p') {
        Header(text, line);
      } else {
        Clauses(text, line);
      }
    }
  }

  // "c n = X" names variable n; any other comment is only a comment.
  void Comment(std::string_view text, std::size_t line) {
    LineTokens tokens(text);
    const auto number = tokens.Next(), equals = tokens.Next(), letter = tokens.Next(), rest = tokens.Next();
    if (!number || !equals || !letter || rest || *equals != "=" || letter->size() != 1) return;
    const std::string_view all(kLetters, kMaxVariables);
    const std::size_t index = all.find((*letter)[0]);
    if (index == std::string_view::npos || number->find_first_not_of("0123456789") != std::string_view::npos) return;
    const std::optional<std::int64_t> variable = DimacsNumber(*number, false, line);
    if (!variable || *variable < 1 || *variable > kMaxVariables) return;
    if (names_[*variable - 1] != 0 && names_[*variable - 1] != (*letter)[0]) {
      throw DimacsRefusal{AtLine(line, "variable " + std::to_string(*variable) + " is named twice.")};
    }
    if (named_[index] != 0 && named_[index] != *variable) {
      throw DimacsRefusal{AtLine(line, "the letter " + std::string(*letter) + " names two variables.")};
    }
    names_[*variable - 1] = (*letter)[0];
    named_[index] = static_cast<int>(*variable);
    anyNames_ = true;
  }

  void Header(std::string_view text, std::size_t line) {
    if (headerLine_ != 0) throw DimacsRefusal{AtLine(line, "a second header.")};
    LineTokens tokens(text);
    const auto p = tokens.Next(), cnf = tokens.Next(), variables = tokens.Next(), clauses = tokens.Next();
    const bool shaped = p == "p" && cnf == "cnf" && variables && clauses && !tokens.Next();
    const std::optional<std::int64_t> v = shaped ? DimacsNumber(*variables, false, line) : std::nullopt;
    const std::optional<std::int64_t> c = shaped ? DimacsNumber(*clauses, false, line) : std::nullopt;
    if (!v || !c) throw DimacsRefusal{AtLine(line, "the header must read \"p cnf VARIABLES CLAUSES\".")};
    if (*v > kMaxVariables) {
      throw DimacsRefusal{AtLine(line, "the file has " + CountOf(*v, "variable") + "; a formula has at most 52 letters.")};
    }
    headerLine_ = line;
    variables_ = *v;
    clauses_ = *c;
  }

  void Clauses(std::string_view text, std::size_t line) {
    LineTokens tokens(text);
    while (const auto token = tokens.Next()) {
      const std::optional<std::int64_t> literal = DimacsNumber(*token, true, line);
      if (!literal) throw DimacsRefusal{AtLine(line, ShownToken(*token) + " is not a number.")};
      if (headerLine_ == 0) throw DimacsRefusal{AtLine(line, "a clause before the header \"p cnf VARIABLES CLAUSES\".")};
      if (*literal == 0 && (*token)[0] == '-') {
        throw DimacsRefusal{AtLine(line, ShownToken(*token) + " is no literal: a clause ends in 0, which takes no sign.")};
      }
      if (*literal == 0) {
        EndClause(line);
        continue;
      }
      const std::int64_t variable = *literal < 0 ? -*literal : *literal;
      if (variable > variables_) {
        throw DimacsRefusal{AtLine(line, "variable " + std::to_string(variable) + " is not among the header's " +
                                             CountOf(variables_, "variable") + ".")};
      }
      const char letter = anyNames_ ? names_[variable - 1] : kLetters[variable - 1];
      if (letter == 0) {
        throw DimacsRefusal{AtLine(line, "variable " + std::to_string(variable) + " has no letter among the file's lines \"c N = X\".")};
      }
      Literal(*literal < 0 ? std::string{'~', letter} : std::string{letter});
      lastLiteralLine_ = line;
    }
  }

  // Clauses are parenthesised when there are several (the header says how many).
  bool Parenthesised() const { return clauses_ > 1; }

  std::string Joint() const { return clausesRead_ > 0 ? "&" : ""; }

  // The last literal waits until it is known whether the clause goes on (its first then
  // opens the parenthesis) or ends (it then closes it).
  void Literal(const std::string& literal) {
    if (literalsInClause_ == 1) Put(Joint() + (Parenthesised() ? "(" : "") + pending_);
    if (literalsInClause_ > 1) Put(pending_);
    pending_ = (literalsInClause_++ == 0 ? "" : "|") + literal;
  }

  void EndClause(std::size_t line) {
    if (clausesRead_ == clauses_) {
      throw DimacsRefusal{AtLine(line, "more clauses than the header's " + CountOf(clauses_, "clause") + ".")};
    }
    if (literalsInClause_ == 0) Put(Joint() + "0");  // the empty clause
    else if (literalsInClause_ == 1) Put(Joint() + pending_);
    else Put(pending_ + (Parenthesised() ? ")" : ""));
    ++clausesRead_;
    literalsInClause_ = 0;
  }

  void Put(std::string_view piece) {
    if (piece.empty()) return;
    if (column_ > 0 && column_ + piece.size() >= width_) {
      text_ += "\r\n";
      column_ = 0;
    }
    text_ += piece;
    column_ += piece.size();
    if (text_.size() > maxBytes_) {
      throw DimacsRefusal{"The formula of this file is too long for the text: more than " + CountOf(maxBytes_, "character") +
                          "."};
    }
  }

  void Finish() {
    if (headerLine_ == 0) throw DimacsRefusal{"The file has no header \"p cnf VARIABLES CLAUSES\"."};
    if (literalsInClause_ != 0) throw DimacsRefusal{AtLine(lastLiteralLine_, "the last clause does not end with 0.")};
    if (clausesRead_ != clauses_) {
      throw DimacsRefusal{AtLine(headerLine_, "the header announces " + CountOf(clauses_, "clause") + ", the file has " +
                                                  std::to_string(clausesRead_) + ".")};
    }
    if (clauses_ == 0) Put("1");
  }

  const std::size_t width_;
  const std::size_t maxBytes_;
  BudgetString text_;
  std::string pending_;
  std::size_t column_ = 0;
  std::array<char, kMaxVariables> names_{};  // the letter of each variable named in a comment
  std::array<int, kMaxVariables> named_{};   // the variable each letter names
  bool anyNames_ = false;
  std::size_t headerLine_ = 0;
  std::int64_t variables_ = 0, clauses_ = 0, clausesRead_ = 0;
  std::size_t literalsInClause_ = 0;
  std::size_t lastLiteralLine_ = 0;
};

}  // namespace

DimacsFormula ReadDimacs(std::string_view file, std::int32_t lineWidth, std::size_t maxTextBytes) {
  return DimacsParser(lineWidth, maxTextBytes).Read(file);
}

}  // namespace lumenark
