#include "analysis/LatexTableau.h"

#include <memory>
#include <optional>
#include <string>

namespace lumenark {
namespace {

// TeX nests at most 255 groups, and every fork nests a few.
constexpr std::size_t kMaxForks = 40;
constexpr std::size_t kMaxLines = 5000;

// One line of the tableau's text.
struct Item {
  enum Kind { Formula, Closed, Open, Undeveloped } kind;
  std::size_t depth;
  std::string_view number, formula, justification;  // Formula
  std::string_view pair;                            // Closed: "5, 6" or "5"
};

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsFormulaText(std::string_view text) {
  return !text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz01~&|>=()") ==
                              std::string_view::npos;
}

std::optional<Item> ReadItem(std::string_view line) {
  const std::size_t indent = line.find_first_not_of(' ');
  if (indent == std::string_view::npos || indent % 2 != 0) return std::nullopt;
  Item item{Item::Formula, indent / 2, {}, {}, {}, {}};
  std::string_view rest = line.substr(indent);
  if (rest == "open") return item.kind = Item::Open, item;
  if (rest == "not developed") return item.kind = Item::Undeveloped, item;
  if (rest.starts_with("closed: ")) {
    // "closed: 5, 6", or "closed: 5 (0)" for a false constant.
    item.kind = Item::Closed;
    item.pair = rest.substr(8);
    const std::size_t comma = item.pair.find(", "), constant = item.pair.find(" (");
    const bool good = comma != std::string_view::npos
                          ? IsDigits(item.pair.substr(0, comma)) && IsDigits(item.pair.substr(comma + 2))
                      : constant != std::string_view::npos
                          ? IsDigits(item.pair.substr(0, constant)) &&
                                (item.pair.substr(constant) == " (0)" || item.pair.substr(constant) == " (~1)")
                          : IsDigits(item.pair);
    return good ? std::optional<Item>(item) : std::nullopt;
  }
  const std::size_t dot = rest.find(". ");
  if (dot == std::string_view::npos || !IsDigits(rest.substr(0, dot))) return std::nullopt;
  item.number = rest.substr(0, dot);
  rest.remove_prefix(dot + 2);
  const std::size_t blank = rest.find(' ');
  item.formula = rest.substr(0, blank);
  if (blank != std::string_view::npos) {
    const std::size_t start = rest.find_first_not_of(' ', blank);
    if (blank + 1 == start || start == std::string_view::npos) return std::nullopt;  // two blanks or more before it
    item.justification = rest.substr(start);
  }
  return IsFormulaText(item.formula) ? std::optional<Item>(item) : std::nullopt;
}

// A stretch of a branch: its lines, then an end or a fork into a side branch and the rest.
struct Branch {
  std::vector<const Item*> lines;
  const Item* end = nullptr;
  std::unique_ptr<Branch> side, rest;
};

class TreeReader {
 public:
  explicit TreeReader(const std::vector<Item>& items) : items_(items) {}

  std::unique_ptr<Branch> Read() {
    auto root = ReadBranch(0, 0);
    return root && at_ == items_.size() ? std::move(root) : nullptr;
  }

 private:
  std::unique_ptr<Branch> ReadBranch(std::size_t depth, std::size_t forks) {
    auto branch = std::make_unique<Branch>();
    while (at_ < items_.size()) {
      const Item& item = items_[at_];
      if (item.depth == depth && item.kind == Item::Formula) {
        branch->lines.push_back(&item);
        ++at_;
      } else if (item.depth == depth) {
        if (branch->lines.empty()) return nullptr;
        branch->end = &item;
        ++at_;
        return branch;
      } else if (item.depth == depth + 1 && !branch->lines.empty() && forks < kMaxForks) {
        branch->side = ReadBranch(depth + 1, forks + 1);
        if (!branch->side) return nullptr;
        branch->rest = ReadBranch(depth, forks + 1);
        return branch->rest ? std::move(branch) : nullptr;
      } else {
        return nullptr;
      }
    }
    return nullptr;
  }

  const std::vector<Item>& items_;
  std::size_t at_ = 0;
};

// A rule's name in math: "~>" is "\neg{\rightarrow}".
std::string RuleMath(std::string_view rule) {
  std::string math;
  for (char c : rule) {
    switch (c) {
      case '~': math += "\\neg"; break;
      case '&': math += "{\\land}"; break;
      case '|': math += "{\\lor}"; break;
      case '>': math += "{\\rightarrow}"; break;
      case '=': math += "{\\leftrightarrow}"; break;
      default: return {};
    }
  }
  return math;
}

class TreeWriter {
 public:
  explicit TreeWriter(const LatexTableauOutput& out) : out_(out) {}

  void Write(const Branch& branch) {
    out_.raw("\\begin{tabular}[t]{@{}c@{}}\n");
    for (const Item* line : branch.lines) {
      out_.text(line->number);
      out_.raw(".\\ ");
      out_.formula(line->formula);
      if (!line->justification.empty()) Justification(line->justification);
      out_.raw(" \\\\\n");
    }
    if (branch.end != nullptr) {
      if (branch.end->kind == Item::Closed) {
        // The pair of lines, or the line and its false constant in math.
        out_.raw("$\\times$ ");
        const std::size_t constant = branch.end->pair.find(" (");
        out_.text(branch.end->pair.substr(0, constant));
        if (constant != std::string_view::npos) {
          out_.raw("~(");
          out_.formula(branch.end->pair.substr(constant + 2, branch.end->pair.size() - constant - 3));
          out_.raw(")");
        }
      } else {
        out_.text(branch.end->kind == Item::Open ? "open" : "not developed");
      }
      out_.raw(" \\\\\n");
    } else {
      out_.raw("\\begin{tabular}[t]{c|c}\n\\hline\n");
      Write(*branch.side);
      out_.raw("&\n");
      Write(*branch.rest);
      out_.raw("\\end{tabular} \\\\\n");
    }
    out_.raw("\\end{tabular}\n");
  }

 private:
  // "3, ~>" sets the rule in math; anything else ("negated formula") as text, and so
  // the note after a semicolon ("3, |; dropped").
  void Justification(std::string_view justification) {
    out_.raw("\\ {\\scriptsize(");
    const std::size_t semicolon = justification.find("; ");
    const std::string_view note = semicolon == std::string_view::npos ? std::string_view() : justification.substr(semicolon);
    justification = justification.substr(0, semicolon);
    const std::size_t comma = justification.find(", ");
    const std::string rule = comma == std::string_view::npos ? std::string() : RuleMath(justification.substr(comma + 2));
    if (!rule.empty() && IsDigits(justification.substr(0, comma))) {
      out_.text(justification.substr(0, comma + 2));
      out_.raw("$" + rule + "$");
    } else {
      out_.text(justification);
    }
    if (!note.empty()) out_.text(note);
    out_.raw(")}");
  }

  const LatexTableauOutput& out_;
};

}  // namespace

std::size_t WriteLatexTableau(std::span<const std::string_view> lines, std::size_t first,
                              const LatexTableauOutput& out) {
  if (lines[first] != "Tableau:") return 0;
  std::vector<Item> items;
  std::size_t next = first + 1;
  for (; next < lines.size() && items.size() < kMaxLines; ++next) {
    const std::optional<Item> item = ReadItem(lines[next]);
    if (!item) break;
    items.push_back(*item);
  }
  const std::unique_ptr<Branch> tree = items.empty() ? nullptr : TreeReader(items).Read();
  if (!tree) return 0;
  out.text(lines[first]);
  // A tree wider than the line, or taller than the page, is made smaller to fit.
  out.raw("\\par\n\\begin{center}\\footnotesize\n"
          "\\resizebox{!}{\\ifdim\\height>0.85\\textheight0.85\\textheight\\else\\height\\fi}{%\n"
          "\\resizebox{\\ifdim\\width>\\linewidth\\linewidth\\else\\width\\fi}{!}{%\n");
  TreeWriter(out).Write(*tree);
  out.raw("}}\n\\end{center}\n");
  return next - first;
}

}  // namespace lumenark
