#include "analysis/LatexDocument.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "analysis/KarnaughText.h"
#include "analysis/LatexFormula.h"
#include "analysis/LatexTableau.h"
#include "analysis/WrittenFormula.h"
#include "formula/FormulaDocument.h"
#include "formula/LetterBits.h"
#include "runtime/EngineGlobals.h"
#include "runtime/EngineStack.h"
#include "runtime/BudgetAllocator.h"
#include "runtime/MemoryBudget.h"
#include "text/MemoryEditorText.h"
#include "text/ParseErrors.h"

namespace lumenark {
namespace {

// Longer formulas are written as text: math takes several words of TeX's memory per symbol.
constexpr std::size_t kMaxMathCharacters = 20000;
// The same as the latex command writes it: "\\leftrightarrow " for "=".
constexpr std::size_t kMaxLatexMathCharacters = 17 * kMaxMathCharacters;
constexpr std::size_t kSourceLineLength = 100;
// The columns of typewriter text on a line of the page (the margins below leave room for
// 95 of the 10-point font on A4 and on letter paper). A longer text line continues on
// the next; TeX never breaks text itself.
constexpr std::size_t kTextColumns = 90;
// A formula the report output broke over more lines than this is written as text.
constexpr std::size_t kMaxContinuationLines = 1000;

const char* const kPreamble =
    "% Exported by Lumenark.\n"
    "\\documentclass{article}\n"
    "\\usepackage[latin1]{inputenc}\n"
    "\\usepackage[margin=2cm]{geometry}\n"
    "\\usepackage{longtable}\n"
    "\\usepackage{graphicx}\n"
    "\\setlength{\\parindent}{0pt}\n"
    "\\raggedright\n"
    "\\newlength{\\lmkcolumn}\n"
    "\\settowidth{\\lmkcolumn}{\\texttt{x}}\n"
    "\\newcommand*{\\lmkchar}[1]{\\makebox[\\lmkcolumn]{#1}}\n"
    "\\begin{document}\n";

class QuietHost final : public Host {
 public:
  void ShowMessage(std::string_view) override {}
  void ProcessPendingInput() override {}
  bool StopDialogVisible() const override { return false; }
  void SetStopDialogVisible(bool) override {}
};

// Compiles single lines with the engine's own parser, in a document of its own.
class LineCompiler {
 public:
  LineCompiler() : doc_(text_, host_) {}

  // The line's tree, or null when the line is not a formula.
  const FormulaNode* Compile(std::string_view line) {
    doc_.DisposeTree();
    if (line.find_first_not_of(' ') == std::string_view::npos || line.size() > kMaxMathCharacters) return nullptr;
    text_.SelectAll();
    text_.ReplaceSelection(line);
    text_.SelectAll();
    doc_.XComp();
    if (doc_.ParseError == kInsufficientMemory) throw std::bad_alloc();
    return doc_.ParseError == 0 ? doc_.Root : nullptr;
  }
  // After a line that is not a formula: where the parser stopped in it.
  std::size_t ErrorPosition() const { return text_.SelectionStart(); }

 private:
  MemoryEditorText text_;
  QuietHost host_;
  FormulaDocument doc_;
};

// How a character of the 8-bit text is written in the typewriter font: empty for itself.
// Every character that means something to TeX, or that the font's ligatures would join
// with its neighbour, is the font's own glyph by number (the upright quotes at 13 and 18,
// not the curly ones at 39 and 96); characters the fonts lack become their nearest math
// symbol or letters (Th and th take two columns), control characters a '?'.
std::string_view Escape(unsigned char c) {
  switch (c) {
    case '\\': return "\\char92{}";
    case '{': return "\\char123{}";
    case '}': return "\\char125{}";
    case '%': return "\\char37{}";
    case '#': return "\\char35{}";
    case '$': return "\\char36{}";
    case '&': return "\\char38{}";
    case '_': return "\\char95{}";
    case '^': return "\\char94{}";
    case '~': return "\\char126{}";
    case '<': return "\\char60{}";
    case '>': return "\\char62{}";
    case '|': return "\\char124{}";
    case '"': return "\\char34{}";
    case '-': return "\\char45{}";
    case '!': return "\\char33{}";  // no inverted marks from "!`" and "?`"
    case '?': return "\\char63{}";
    case '\'': return "\\char13{}";
    case '`': return "\\char18{}";
    case ' ': return "~";  // a space that stays, and no line break at it
    // Not in the typewriter font, nor in any other that needs no bitmap font made:
    // each in a box one column wide.
    case 0xA2: return "\\lmkchar{c}";
    case 0xA4: return "\\lmkchar{o}";
    case 0xA3: return "\\lmkchar{\\fontfamily{cmr}\\itshape\\char36}";
    case 0xA5: return "\\lmkchar{Y}";
    case 0xAD: return "\\char45{}";  // a soft hyphen shows, and keeps its column
    case 0xA7: return "\\lmkchar{$\\S$}";
    case 0xA9: return "\\lmkchar{C}";
    case 0xAA: return "\\lmkchar{a}";
    case 0xAE: return "\\lmkchar{R}";
    case 0xB6: return "\\lmkchar{$\\P$}";
    case 0xB7: return "\\lmkchar{$\\cdot$}";
    case 0xBA: return "\\lmkchar{o}";
    case 0xA6: return "\\char124{}";
    case 0xA8: return "\\\"{}";
    case 0xAB: return "\\lmkchar{$\\ll$}";
    case 0xAC: return "\\lmkchar{$\\neg$}";
    case 0xAF: return "\\={}";
    case 0xB0: return "\\lmkchar{$^\\circ$}";
    case 0xB1: return "\\lmkchar{$\\pm$}";
    case 0xB2: return "\\lmkchar{$^2$}";
    case 0xB3: return "\\lmkchar{$^3$}";
    case 0xB4: return "\\'{}";
    case 0xB5: return "\\lmkchar{$\\mu$}";
    case 0xB9: return "\\lmkchar{$^1$}";
    case 0xBB: return "\\lmkchar{$\\gg$}";
    case 0xBC: return "\\lmkchar{$\\frac14$}";
    case 0xBD: return "\\lmkchar{$\\frac12$}";
    case 0xBE: return "\\lmkchar{$\\frac34$}";
    case 0xD0: return "D";
    case 0xD7: return "\\lmkchar{$\\times$}";
    case 0xDE: return "Th";
    case 0xF0: return "d";
    case 0xF7: return "\\lmkchar{$\\div$}";
    case 0xFE: return "th";
    default: break;
  }
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return "?";
  return {};
}

// How a character of a tree diagram is written: its connectives and constants as the
// formulas' math symbols, each in a box one column wide so that the connectors below
// stay in place; letters, connectors and blanks as text.
std::string_view DiagramEscape(unsigned char c) {
  switch (c) {
    case '~': return "\\lmkchar{$\\neg$}";
    case '&': return "\\lmkchar{$\\land$}";
    case '|': return "\\lmkchar{$\\lor$}";
    case '>': return "\\lmkchar{$\\rightarrow$}";
    case '=': return "\\lmkchar{$\\leftrightarrow$}";
    case '1': return "\\lmkchar{$\\top$}";
    case '0': return "\\lmkchar{$\\bot$}";
    default: return Escape(c);
  }
}

// The file as it is written: short source lines, each broken after a whole unit.
class TexWriter {
 public:
  explicit TexWriter(const std::function<void(std::string_view)>& sink) : sink_(sink) {}

  void Raw(std::string_view text) {
    sink_(text);
    column_ = text.empty() || text.back() == '\n' ? 0 : column_ + text.size();
  }
  // A piece of a paragraph or a cell: continues on the next source line when this one
  // is long. The '%' keeps TeX from seeing a space there.
  void Unit(std::string_view text) {
    if (column_ + text.size() > kSourceLineLength && column_ > 0) Raw("%\n");
    Raw(text);
  }
  // Text as the window shows it, in the typewriter font: every space kept, a tab to the
  // next multiple of eight columns, and a new line after every kTextColumns columns,
  // each line a paragraph of its own (TeX's line breaking takes time with the square of
  // a paragraph's length). The last line is left open for what follows on it.
  void Text(std::string_view text, std::string_view (*escape)(unsigned char) = Escape) {
    std::size_t column = 0;  // in the text; the page's line starts at every kTextColumns
    auto put = [&](std::string_view piece) {
      if (column % kTextColumns == 0 && column > 0) {
        Unit("}");
        EndParagraph();
      }
      if (column % kTextColumns == 0) Unit("\\texttt{");
      Unit(piece);
      ++column;
    };
    for (const char c : text) {
      if (c == '\t') {
        do {
          put("~");
        } while (column % 8 != 0);
        continue;
      }
      const std::string_view escaped = escape(static_cast<unsigned char>(c));
      put(escaped.empty() ? std::string_view(&c, 1) : escaped);
    }
    if (column > 0) Unit("}");
  }
  // A whole text line, a paragraph (or more) of its own; an empty line stays a line.
  void TextLine(std::string_view text, std::string_view (*escape)(unsigned char) = Escape) {
    if (text.empty()) Raw("\\mbox{}");
    Text(text, escape);
    EndParagraph();
  }
  // The formula as it is written, token by token, in math (analysis/WrittenFormula.h);
  // false, with nothing written, when it is no formula or too long for math.
  bool Math(std::string_view formula) {
    if (formula.size() > kMaxMathCharacters) return false;
    bool opened = false;
    PrintWrittenFormula(formula, kLatexSymbols, [&](std::string_view piece) {
      if (!opened) Unit("$");
      opened = true;
      Unit(piece);
      return true;
    });
    if (opened) Unit("$");
    return opened;
  }
  void EndParagraph() { Raw("\\par\n"); }

 private:
  const std::function<void(std::string_view)>& sink_;
  std::size_t column_ = 0;
};

BudgetVector<std::string_view> SplitLines(std::string_view text) {
  BudgetVector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while ((i = line.find_first_not_of(' ', i)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find(' ', i), line.size());
    tokens.push_back(line.substr(i, end - i));
    i = end;
  }
  return tokens;
}

bool IsColumnNumber(std::string_view token) {
  return token.size() >= 3 && token.front() == '(' && token.back() == ')' &&
         token.substr(1, token.size() - 2).find_first_not_of("0123456789") == std::string_view::npos;
}

class Exporter {
 public:
  Exporter(std::string_view text, const std::function<void(std::string_view)>& sink)
      : lines_(SplitLines(text)), out_(sink) {}

  void Run() {
    out_.Raw(kPreamble);
    for (std::size_t i = 0; i < lines_.size();) {
      if (const std::size_t tableau = WriteTableau(i)) {
        i += tableau;
        continue;
      }
      std::size_t table = WriteKarnaughMap(i);
      if (table == 0) table = WriteTable(i);
      if (table == 0) table = WriteTreeDiagram(i);
      i += table != 0 ? table : WriteLine(i);
    }
    out_.Raw("\\end{document}\n");
  }

 private:
  // The number of letters a truth table's heading starts with (in A..Z, a..z order, each
  // once), when the line is such a heading: then come one or more formulas or "(k)".
  std::size_t HeadingLetters(const std::vector<std::string_view>& tokens) {
    std::size_t letters = 0;
    std::uint64_t previous = 0;
    while (letters < tokens.size() && tokens[letters].size() == 1 && LetterBit(tokens[letters][0]) > previous) {
      previous = LetterBit(tokens[letters++][0]);
    }
    if (letters == 0 || letters == tokens.size()) return 0;
    for (std::size_t t = letters; t < tokens.size(); ++t) {
      if (!IsColumnNumber(tokens[t]) && compiler_.Compile(tokens[t]) == nullptr) return 0;
    }
    return letters;
  }

  static bool IsRow(std::string_view line, std::size_t columns) {
    const std::vector<std::string_view> tokens = Tokens(line);
    if (tokens.size() != columns) return false;
    for (std::string_view token : tokens) {
      if (token != "0" && token != "1") return false;
    }
    return true;
  }

  // A tableau the Tableau command wrote, set as a tree (analysis/LatexTableau.h).
  std::size_t WriteTableau(std::size_t first) {
    return WriteLatexTableau(lines_, first,
                             {[&](std::string_view raw) { out_.Raw(raw); }, [&](std::string_view text) { out_.Text(text); },
                              [&](std::string_view formula) {
                                if (!out_.Math(formula)) out_.Text(formula);
                              }});
  }

  // Writes the truth table that starts at line first; returns its number of lines, or 0
  // when no table starts there.
  std::size_t WriteTable(std::size_t first) {
    const std::vector<std::string_view> heading = Tokens(lines_[first]);
    if (heading.size() < 2 || first + 1 >= lines_.size() || !IsRow(lines_[first + 1], heading.size())) return 0;
    const std::size_t letters = HeadingLetters(heading);
    if (letters == 0) return 0;
    std::string format(letters, 'c');
    format += '|';
    format.append(heading.size() - letters, 'c');
    out_.Raw("\\begin{longtable}{" + format + "}\n");
    for (std::size_t t = 0; t < heading.size(); ++t) {
      if (t > 0) out_.Unit(" & ");
      if (IsColumnNumber(heading[t]) || !out_.Math(heading[t])) out_.Text(heading[t]);
    }
    out_.Raw(" \\\\\n\\hline\n");
    std::size_t line = first + 1;
    for (; line < lines_.size() && IsRow(lines_[line], heading.size()); ++line) {
      const std::vector<std::string_view> row = Tokens(lines_[line]);
      for (std::size_t t = 0; t < row.size(); ++t) out_.Unit(t == 0 ? row[t] : (row[t] == "0" ? " & 0" : " & 1"));
      out_.Raw(" \\\\\n");
    }
    out_.Raw("\\end{longtable}\n");
    return line - first;
  }

  // Writes the Karnaugh map that starts at line first as a table, with rules between the
  // maps side by side and one above another; returns its number of lines, or 0 when no
  // map starts there. The groups after it are lines of their own.
  std::size_t WriteKarnaughMap(std::size_t first) {
    const std::optional<KarnaughText> map = ReadKarnaughText(lines_, first);
    if (!map) return 0;
    std::string format = "c|";
    for (std::size_t c = 0; c < map->columns.size(); ++c) format += c == 4 ? "|c" : "c";
    out_.Raw("\\begin{tabular}{" + format + "}\n");
    out_.Text(map->rowLetters + "\\" + map->columnLetters);
    for (const std::string& label : map->columns) {
      out_.Unit(" & ");
      out_.Text(label);
    }
    out_.Raw(" \\\\\n\\hline\n");
    for (std::size_t r = 0; r < map->rows.size(); ++r) {
      if (r == 4) out_.Raw("\\hline\n");
      out_.Text(map->rows[r]);
      for (const char cell : map->cells[r]) out_.Unit(cell == '1' ? " & 1" : " & 0");
      out_.Raw(" \\\\\n");
    }
    out_.Raw("\\end{tabular}\\par\n");
    return map->lines;
  }

  // Writes the tree diagram that the Tree command wrote from line first on, with the
  // formulas' symbols; returns its number of lines, or 0 when no diagram starts there.
  // A diagram is pairs of lines: symbols with blanks between them (two placed symbols
  // never stand side by side), then the connectors below them; the first line holds
  // the root alone, and the connector line of the last row is blank.
  std::size_t WriteTreeDiagram(std::size_t first) {
    std::size_t line = first;
    for (;;) {
      if (line + 1 >= lines_.size() || !IsDiagramSymbolLine(lines_[line]) || !IsConnectorLine(lines_[line + 1])) return 0;
      if (line == first && Tokens(lines_[line]).size() != 1) return 0;
      line += 2;
      if (lines_[line - 1].find_first_not_of(' ') == std::string_view::npos) break;
    }
    if (line - first < 4) return 0;  // a literal alone is a formula line
    for (std::size_t i = first; i < line; ++i) out_.TextLine(lines_[i], DiagramEscape);
    return line - first;
  }

  static bool IsDiagramSymbolLine(std::string_view line) {
    if (line.find_first_not_of(' ') == std::string_view::npos) return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == ' ') continue;
      if (!IsFormulaText(line.substr(i, 1)) || line[i] == '(' || line[i] == ')' || (i > 0 && line[i - 1] != ' ')) {
        return false;
      }
    }
    return true;
  }

  static bool IsConnectorLine(std::string_view line) { return line.find_first_not_of(" /\\_") == std::string_view::npos; }

  // Writes the line that starts at line first, with the lines that continue its formula
  // where the report output broke it; returns how many lines it took.
  std::size_t WriteLine(std::size_t first) {
    const std::string_view line = lines_[first];
    if (line.find_first_not_of(' ') == std::string_view::npos) {
      out_.TextLine(line);
      return 1;
    }
    if (const std::size_t math = WriteLatexLines(first)) return math;
    const std::size_t split = FormulaStart(line);
    if (split != std::string_view::npos) {
      // The report output breaks a long formula where the line is full: each line but
      // the last as long as the first (at least 20 characters, the shortest line width).
      std::size_t last = first, length = line.size() - split;
      while (line.size() >= 20 && last + 1 < lines_.size() && lines_[last].size() == line.size() &&
             last - first < kMaxContinuationLines && IsFormulaText(lines_[last + 1]) &&
             length + lines_[last + 1].size() <= kMaxMathCharacters) {
        length += lines_[++last].size();
      }
      std::string joined(line.substr(split));
      std::vector<std::size_t> starts{0};  // where each line starts in joined
      for (std::size_t next = first + 1; next <= last; ++next) {
        starts.push_back(joined.size());
        joined += lines_[next];
      }
      // Two formulas never join into one (an operand would follow an operand): where the
      // parser stops at the start of a line, the formula ended on the line before.
      for (std::size_t count = starts.size();;) {
        const std::string_view candidate = std::string_view(joined).substr(0, count < starts.size() ? starts[count] : joined.size());
        if (compiler_.Compile(candidate) != nullptr) {
          out_.Text(line.substr(0, split));
          if (split != 0) out_.Unit("\\allowbreak");  // the formula may start a line of its own
          out_.Math(candidate);
          out_.EndParagraph();
          return count;
        }
        if (count == 1) break;
        const std::size_t stop = compiler_.ErrorPosition();
        std::size_t line = 1;
        while (line < count && starts[line] <= stop) ++line;  // lines up to the one stopped in
        count = std::min(count - 1, std::max<std::size_t>(line - 1, 1));
      }
    }
    out_.TextLine(line);
    return 1;
  }

  // The lines that the latex command wrote, "$...$" broken after connectives, set as the
  // math they are: read back into the formula, which is then written as any other, so
  // that nothing but the formula's own symbols reaches TeX. Returns how many lines it
  // took, or 0 when no such formula starts at line first.
  std::size_t WriteLatexLines(std::size_t first) {
    if (lines_[first].empty() || lines_[first].front() != '$') return 0;
    std::string math;
    for (std::size_t last = first; last < lines_.size() && last - first <= kMaxContinuationLines; ++last) {
      // A '$' only where the math opens and where it closes.
      const std::string_view line = lines_[last];
      const std::size_t dollar = line.find('$', last == first ? 1 : 0);
      if (line.empty() || (dollar != std::string_view::npos && dollar + 1 != line.size())) return 0;
      math += line;
      if (math.size() > kMaxLatexMathCharacters) return 0;
      if (dollar == std::string_view::npos) continue;
      const std::optional<std::string> formula = PlainFormula(std::string_view(math).substr(1, math.size() - 2));
      if (!formula || !out_.Math(*formula)) return 0;
      out_.EndParagraph();
      return last - first + 1;
    }
    return 0;
  }

  // The formula in the parser's syntax of the latex command's math, or nothing when the
  // math holds anything else. The program's grouping reads it as the command meant it,
  // also where an earlier version left out brackets that a reader of mathematics needs.
  static std::optional<std::string> PlainFormula(std::string_view math) {
    static constexpr std::pair<std::string_view, char> kCommands[] = {
        {"\\neg", '~'}, {"\\land", '&'}, {"\\lor", '|'}, {"\\rightarrow", '>'},
        {"\\leftrightarrow", '='}, {"\\top", '1'}, {"\\bot", '0'}};
    std::string plain;
    for (std::size_t i = 0; i < math.size();) {
      const char c = math[i];
      if (c == ' ') {
        ++i;
      } else if (c == '(' || c == ')' || LetterBit(c) != 0) {
        plain += c;
        ++i;
      } else if (c == '\\') {
        std::size_t end = i + 1;
        while (end < math.size() && LetterBit(math[end]) != 0) ++end;
        const std::string_view command = math.substr(i, end - i);
        const auto known = std::find_if(std::begin(kCommands), std::end(kCommands),
                                        [&](const auto& entry) { return entry.first == command; });
        if (known == std::end(kCommands)) return std::nullopt;
        plain += known->second;
        i = end;
      } else {
        return std::nullopt;
      }
      if (plain.size() > kMaxMathCharacters) return std::nullopt;
    }
    return plain;
  }

  // Where the formula of the line starts: the whole line, or after the comment of
  // "comment:formula" or "(k) formula"; npos for a line that holds no formula text.
  static std::size_t FormulaStart(std::string_view line) {
    if (IsFormulaText(line)) return 0;
    std::size_t split = line.rfind(':');
    split = split == std::string_view::npos ? 0 : split + 1;
    if (split == 0 && line.front() == '(') {
      const std::size_t close = line.find(") ");
      if (close != std::string_view::npos && IsColumnNumber(line.substr(0, close + 1))) split = close + 2;
    }
    return split != 0 && IsFormulaText(line.substr(split)) ? split : std::string_view::npos;
  }

  // Text made only of what the printer writes: letters, constants, operators, '~' and
  // parentheses.
  static bool IsFormulaText(std::string_view text) {
    return !text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz01~&|>=()") ==
                                std::string_view::npos;
  }

  BudgetVector<std::string_view> lines_;
  TexWriter out_;
  LineCompiler compiler_;
};

}  // namespace

std::optional<std::string> ExportLatexDocument(std::string_view text,
                                               const std::function<void(std::string_view)>& sink) {
  if (text.size() > kMaxLatexDocumentBytes) return std::string(kLatexTooLargeMessage);
  const bool stop = StopRequested;
  const std::uint16_t column = OutputColumn;
  std::optional<std::string> refusal;
  BeginMemoryBudget();
  RunOnEngineStack([&] {
    try {
      Exporter(text, sink).Run();
    } catch (const std::bad_alloc&) {
      refusal = InsufficientMemoryText();
    }
  });
  MemoryExhausted = false;
  StopRequested = stop;
  OutputColumn = column;
  return refusal;
}

}  // namespace lumenark
