// lumenark-cli --latex: the exported file compiles with pdflatex (run as a user would,
// without shell escape), whatever the document holds, and shows its text as text.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"

namespace lumenark::testing {
namespace {

// Exports the document "in" unchanged (decompile without a tree writes nothing),
// compiles it, and prints pdflatex's status, the PDF's text and the directory.
const char* const kExportAndCompile =
    "\"$CLI\" --latex decompile < in > doc.tex; echo \"cli=$?\";"
    "pdflatex -interaction=nonstopmode -no-shell-escape doc.tex > /dev/null 2>&1; echo \"pdflatex=$?\";"
    "pdftotext doc.pdf - 2>/dev/null | tr -s ' \\n' ' '; pdffonts doc.pdf | grep -q 'Type 3' && echo bitmap-font;"
    "echo files:; ls";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? "\r\n" : std::string(1, c);
  return out;
}

std::string Squeezed(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') c = ' ';
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  }
  return out;
}

TEST(LatexExportTest, TexCommandsAndSpecialCharactersAreText) {
  struct Line {
    const char* text;
    const char* shown;  // what the PDF shows of it
  };
  const Line lines[] = {
      {"\\input{/etc/passwd}", "\\input{/etc/passwd}"},
      {"\\immediate\\write18{touch shell-escaped}", "\\immediate\\write18{touch shell-escaped}"},
      {"\\immediate\\openout1=opened.txt\\write1{x}\\closeout1", "\\immediate\\openout1=opened.txt\\write1{x}\\closeout1"},
      {"{{{ unbalanced", "{{{ unbalanced"},
      {"}}} \\end{document} \\begin{verbatim}", "}}} \\end{document} \\begin{verbatim}"},
      {"100% # _ $ & \\\\ \\par", "100% # _ $ & \\\\ \\par"},
      {"x^2 a~b -- '' `` ?` !` <|>", "x^2 a~b -- '' `` ?` !` <|>"},
      {"\"quoted\" @ * + [ ] / ;", "\"quoted\" @ * + [ ] / ;"},
      {"Comment with %:A&~B", "Comment with %:A ∧ ¬B"},
      {"Result - Conversion to CNF:(A|B)&(A|C)", "Result - Conversion to CNF:(A ∨ B) ∧ (A ∨ C)"},
      {"(A>B)=~(0|1)", "(A → B) ↔ ¬(⊥ ∨ ⊤)"},
  };
  std::string document;
  for (const Line& line : lines) document += std::string(line.text) + "\n";
  for (int c = 1; c < 256; ++c) {
    if (c != '\n' && c != '\r') document += static_cast<char>(c);
  }
  document += "\r\n\t\r\nA&B\n";
  const CliRun run = RunScript(kExportAndCompile, document);
  const std::string shown = Squeezed(run.out);
  EXPECT_NE(shown.find("cli=0 pdflatex=0 "), std::string::npos) << run.out;
  for (const Line& line : lines) EXPECT_NE(shown.find(line.shown), std::string::npos) << line.text << "\n" << shown;
  EXPECT_EQ(shown.find("bitmap-font"), std::string::npos) << "every glyph from a Type 1 font";
  const std::string files = shown.substr(shown.find("files:"));
  EXPECT_EQ(files, "files: doc.aux doc.log doc.pdf doc.tex err in out ");
}

// Random documents: derivations with truth tables, models and LaTeX lines, interleaved
// with random bytes, compile.
TEST(LatexExportTest, RandomDocumentsCompile) {
  std::mt19937 random(20);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const char* const formulas[] = {"A|B&C", "~(A>B)=(C|~D)", "(a=b)>(c=d)&1", "A&~A", "(A|B)&(~A|C)>B|C"};
  const char* const commands[] = {"cnf", "dnf", "mindnf", "decision", "truthtable", "model", "countermodel", "latex"};
  for (int n = 0; n < 8; ++n) {
    std::string script = "\"$CLI\" --details " + std::to_string(pick(5)) + " -e " + Quote(formulas[n % 5]);
    for (int c = 0; c < 4; ++c) script += std::string(" ") + commands[pick(8)];
    std::string noise;
    for (int i = 0; i < 400; ++i) noise += pick(12) == 0 ? '\n' : static_cast<char>(1 + pick(255));
    const CliRun derivation = RunScript(script + " > in; printf '%s' " + Quote(noise) + " >> in; cat in; " +
                                        kExportAndCompile);
    EXPECT_NE(Squeezed(derivation.out).find("cli=0 pdflatex=0 "), std::string::npos) << derivation.out;
  }
}

TEST(LatexExportTest, TruthTableBecomesATabular) {
  const CliRun run = RunScript("\"$CLI\" --details 1 --latex -e '~(A&B)' truthtable > doc.tex; cat doc.tex");
  EXPECT_NE(run.out.find("\\begin{longtable}{cc|cc}\n$A$ & $B$ & $A \\land B$ & $\\neg (A \\land B)$ \\\\\n\\hline\n"
                         "0 & 0 & 0 & 1 \\\\\n"),
            std::string::npos)
      << run.out;
}

// A formula the report output broke over lines is one formula again: the document holds
// the selection and its print at width 21, with a comment line's formula broken too.
TEST(LatexExportTest, BrokenFormulasAreJoined) {
  const CliRun run = RunScript(
      "\"$CLI\" --width 21 --details 1 -e '(A&a|B&b|C&c)&~(D&d>E&e)=(F|G)&~H' compile decompile literals > in;"
      "cat in; \"$CLI\" --latex decompile < in");
  EXPECT_GT(std::count(run.out.begin(), run.out.end(), '\n'), 40) << run.out;  // the print is broken
  const std::string whole =
      "$((A \\land a) \\lor (B \\land b) \\lor (C \\land c)) \\land \\neg (D \\land d \\rightarrow E \\land e)%\n"
      " \\leftrightarrow (F \\lor G) \\land \\neg H$\\par\n";
  EXPECT_NE(run.out.find(whole + whole), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\\texttt{Equivalence~to~conjunction:}\\par\n$\\neg (((A \\land a)"), std::string::npos) << run.out;
}

// A document the memory limit leaves no room to export is written as plain text, with
// the message, and the export stays within the limit: the copy of the document and the
// file are counted as they are made.
TEST(LatexExportTest, DocumentPastTheMemoryLimitIsWrittenAsPlainText) {
  std::string document;
  while (document.size() < 3'500'000) document += "(A|~B)&(C>D)=~~E\n";
  const CliRun run = RunScript(
      "/usr/bin/time -q -f %M -o peak \"$CLI\" --memory-limit 12M --latex decompile < in > doc 2> messages; echo $?;"
      "cmp -s in doc && echo same; cat messages; cat peak",
      document);
  EXPECT_EQ(run.out.substr(0, run.out.find("The limit")),
            "1\nsame\nInsuficient memory.\n") << run.out;
  EXPECT_NE(run.out.find("\nThe document was written as plain text instead.\n"), std::string::npos) << run.out;
#ifndef LUMENARK_ASAN  // the sanitizer's shadow memory is not the program's
  const long peak = std::stol(run.out.substr(run.out.find_last_of('\n', run.out.size() - 2) + 1));
  EXPECT_LT(peak, (12 + 4) * 1024) << "kilobytes";
#endif
}

// Too large a document is written as plain text, with the message: a truth table of 17
// letters is not lost for want of LaTeX.
TEST(LatexExportTest, TooLargeADocumentIsWrittenAsPlainText) {
  const CliRun plain = RunCli({"truthtable"}, "A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q");
  ASSERT_GT(plain.out.size(), std::size_t{4} << 20);
  for (const char* breaks : {"--results", "--crlf"}) {
    const CliRun run = RunCli({"--latex", breaks, "truthtable"}, "A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q");
    EXPECT_EQ(run.err, "The document is too large to export as LaTeX.\nThe document was written as plain text instead.\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out == (breaks == std::string("--crlf") ? CrLf(plain.out) : plain.out)) << breaks;
  }
}

// A tree diagram keeps its columns: the PDF's glyphs stand on the typewriter font's grid
// (5.25 TeX points, 5.2304 PDF points), which pdftotext reads back line for line. Its
// symbols are the formulas' own (a '~' is a negation, not an accent).
TEST(LatexExportTest, TreeDiagramKeepsItsColumns) {
  const CliRun run = RunScript(
      "\"$CLI\" -e '(A>B)>(B|~A&C)=(a|b|c|d|e|f)&~(g>h)' tree > in; \"$CLI\" --latex decompile < in > doc.tex;"
      "pdflatex -interaction=nonstopmode -no-shell-escape doc.tex > /dev/null 2>&1; echo \"pdflatex=$?\";"
      "pdftotext -layout -fixed 5.2304 doc.pdf - ; echo '--'; cat in; echo '--'; cat doc.tex");
  ASSERT_EQ(run.out.rfind("pdflatex=0\n", 0), 0u) << run.out;
  const std::size_t diagramAt = run.out.find("--\n") + 3, texAt = run.out.find("--\n", diagramAt) + 3;
  const std::string shown = run.out.substr(11, diagramAt - 3 - 11);
  const std::vector<std::string> diagram = Lines(run.out.substr(diagramAt, texAt - 3 - diagramAt));
  const std::string tex = run.out.substr(texAt);
  EXPECT_EQ(tex.find("\\char126"), std::string::npos) << tex;
  EXPECT_NE(tex.find("\\lmkchar{$\\neg$}"), std::string::npos) << tex;
  std::vector<std::string> pdf;
  for (std::string& line : Lines(shown)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\f')) line.pop_back();
    if (!line.empty()) pdf.push_back(line);
  }
  ASSERT_GT(diagram.size(), 10u);
  ASSERT_GE(pdf.size(), diagram.size() - 1) << shown;
  // The symbols as the PDF shows them.
  const std::pair<char, const char*> symbols[] = {{'~', "¬"}, {'&', "∧"}, {'|', "∨"}, {'>', "→"}, {'=', "↔"}};
  auto asShown = [&](const std::string& line) {
    std::string out;
    for (char c : line) {
      const auto symbol = std::find_if(std::begin(symbols), std::end(symbols), [&](const auto& s) { return s.first == c; });
      out += symbol != std::end(symbols) ? std::string(symbol->second) : std::string(1, c);
    }
    return out;
  };
  // The first line is the formula, in math; the diagram starts at the same margin.
  const std::size_t margin = pdf[0].find_first_not_of(' ');
  for (std::size_t i = 1; i + 1 < diagram.size(); ++i) {
    EXPECT_EQ(pdf[i].substr(std::min(margin, pdf[i].size())), asShown(diagram[i])) << i << "\n" << shown;
  }
}

// Each formula line is set as it was written, token by token: the steps of a derivation
// stay in the PDF, and brackets come in only where a reader of mathematics would group
// otherwise.
TEST(LatexExportTest, FormulaLinesAsWritten) {
  const std::pair<const char*, const char*> lines[] = {
      {"~~A", "$\\neg \\neg A$\\par\n"},
      {"A|~~B", "$A \\lor \\neg \\neg B$\\par\n"},
      {"A&(B&C)", "$A \\land (B \\land C)$\\par\n"},
      {"A>B>C", "$(A \\rightarrow B) \\rightarrow C$\\par\n"},
      {"Step 2:~(~A|B)", "\\texttt{Step~2:}\\allowbreak$\\neg (\\neg A \\lor B)$\\par\n"},
  };
  std::string document;
  for (const auto& [line, math] : lines) document += std::string(line) + "\n";
  const CliRun run = RunCli({"--latex", "decompile"}, document);
  EXPECT_EQ(run.status, 0);
  for (const auto& [line, math] : lines) EXPECT_NE(run.out.find(math), std::string::npos) << line << "\n" << run.out;
}

// The latex command's lines are set as math, read back into their formula (also the
// lines of a version that left out brackets); anything else between dollars is text.
TEST(LatexExportTest, LatexLinesAreSetAsMath) {
  const std::string document =
      "$(A \\rightarrow B) \\rightarrow \n(C \\leftrightarrow \\neg D)$\n"
      "$A \\rightarrow B \\rightarrow C$\n"
      "$\\input{/etc/passwd}$\n"
      "$A \\lor$ B$\n";
  const CliRun run = RunScript(kExportAndCompile, document);
  const std::string shown = Squeezed(run.out);
  EXPECT_NE(shown.find("cli=0 pdflatex=0 (A → B) → (C ↔ ¬D) (A → B) → C $\\input{/etc/passwd}$ $A \\lor$ B$ "),
            std::string::npos)
      << shown;
}

// A long line of text compiles in time linear in its length: broken into lines of the
// page, each a paragraph of its own. As one paragraph of short words, TeX's line
// breaking took 11 s for 100 KB and did not end in two minutes for 400 KB; 2 MB would
// also pass its capacity. The words all come back (the blanks are not compared: a
// line of the page drops those at its end, and the page numbers go too).
TEST(LatexExportTest, LongTextLineIsNotLost) {
  const CliRun run = RunScript(
      "tr -dc 'a-z' < /dev/urandom | head -c 1400000 | fold -w 2 | tr '\\n' ' ' > in; echo >> in;"
      "\"$CLI\" --latex decompile < in > doc.tex;"
      "timeout 300 pdflatex -interaction=nonstopmode -no-shell-escape doc.tex > /dev/null 2>&1; echo \"pdflatex=$?\";"
      "pdftotext doc.pdf - | tr -d ' \\n\\f0-9' > shown; tr -d ' \\n' < in > words; wc -c < in;"
      "cmp -s words shown && echo same");
  EXPECT_EQ(run.out, "pdflatex=0\n2100000\nsame\n") << run.err;
}

}  // namespace
}  // namespace lumenark::testing
