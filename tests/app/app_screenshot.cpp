// Builds the workbench as a user would leave it after a short session (two editor
// windows, one with a derivation, the options panel open in the other) and keeps it
// on the screen for a few seconds, for a screenshot:
//
//   xvfb-run -a -s "-screen 0 1280x900x24" sh -c 'build/bin/app_screenshot & sleep 3;
//     import -window root shot.png; wait'
//
// --about and --stop show the about box and the stop dialog as well; --full runs a
// derivation too long for a window's text in a third window (the report appears after
// some seconds; the program stays up 20 s); --memory runs the minimal DNF of a chain of
// equivalences in a third window until the memory budget ends it (the program stays up
// 120 s; LUMENARK_MEMORY_LIMIT sets the budget as in the program); --help opens the
// manual beside the workbench (--page qrc:/help/tarvelo/NAME.html at another page). --print FILE prints a derivation of three pages into
// the PDF file FILE instead, without a dialog, and ends; look at it with
// `pdftoppm -png -r 60 FILE page`. --analysis adds a window with a truth table at
// Details 1, a model and a countermodel. --latex FILE exports a derivation with a truth
// table and models as the LaTeX file FILE (and its PDF, where pdflatex is installed)
// through File > Export as LaTeX..., and ends. --kmap adds a window with a Karnaugh map
// of four letters at Details 1 and the map's own window beside it, with its loops (and
// --kmap5, --kmap6 maps of five and six letters).

#include <QApplication>
#include <QMdiArea>
#include <QPrinter>
#include <QTextBrowser>
#include <QTimer>

#include "TestSupport.h"
#include "dialogs/HelpWindow.h"
#include "frame/ApplicationGlobals.h"
#include "frame/ProgramPicture.h"
#include "runtime/MemoryBudget.h"
#include "views/KarnaughMapWindow.h"

namespace {

void ShowSession(Workbench& bench, const QStringList& options) {
  TEditForm* notes = bench.NewEditor("Notes for the derivation\r\n(A>B)&(B>C)>(A>C)\r\n");
  notes->Format1Click();
  TEditForm* derivation = bench.NewEditor("(A>B)&(B>C)>(A>C)");
  derivation->Document().DetailLevel = 1;
  derivation->Memo1()->selectAll();
  derivation->Decision1Click();
  bench.frame().Tile1Click();
  bench.frame().Timer1Timer();
  if (options.contains(QStringLiteral("--about"))) bench.frame().About2Click();
  if (options.contains(QStringLiteral("--stop"))) bench.form2().show();
  if (options.contains(QStringLiteral("--full"))) {
    std::string formula;
    for (char letter = 'A'; letter < 'A' + 12; ++letter) {
      if (!formula.empty()) formula += '|';
      formula += std::string(1, letter) + '&' + static_cast<char>(letter + 32);
    }
    TEditForm* full = bench.NewEditor(formula);
    full->Document().DetailLevel = 1;
    full->Memo1()->selectAll();
    QTimer::singleShot(500, full, [full] { full->MinimalCNF1Click(); });
  }
  if (options.contains(QStringLiteral("--memory"))) {
    // Four hundred equivalences over twenty letters: its minimal DNF grows until the
    // memory budget ends it.
    std::string chain = "A";
    for (int i = 1; i <= 400; ++i) chain += std::string("=") + static_cast<char>('A' + i % 20);
    TEditForm* big = bench.NewEditor(chain);
    big->Memo1()->selectAll();
    QTimer::singleShot(500, big, [big] { big->MinimalDNF1Click(); });
  }
  if (options.contains(QStringLiteral("--analysis"))) {
    TEditForm* table = bench.NewEditor("(A>B)&~C=A|~(B&C)");
    table->Document().DetailLevel = 1;
    table->Memo1()->selectAll();
    table->TruthTable1Click();
    table->Model1Click();
    table->Countermodel1Click();
    bench.frame().Tile1Click();
  }
  const char* const maps[][2] = {{"--kmap", "~A&~B&~D|~A&B&D|A&B&~C|A&~B&C|~B&C&D|B&~C&~D|A&C&~D"},
                                 {"--kmap5", "A&B|C&~E|~D&E|~A&~B&~C&~D"},
                                 {"--kmap6", "A&~D&F|~B&C&E&~F|B&~C&D|~A&~E&~F|B&D&E"}};
  for (const auto& [option, formula] : maps) {
    if (!options.contains(QString::fromLatin1(option))) continue;
    TEditForm* map = bench.NewEditor(formula);
    map->Document().DetailLevel = 1;
    map->Memo1()->selectAll();
    map->KarnaughMap1Click();
    bench.frame().Tile1Click();
    if (KarnaughMapWindow* window = map->KarnaughWindow()) window->move(bench.frame().geometry().topRight() - QPoint(window->width() + 20, -80));
  }
  if (options.contains(QStringLiteral("--help"))) {
    bench.frame().setGeometry(0, 0, 760, 860);
    bench.frame().Tile1Click();
    bench.frame().Help1Click();
    bench.frame().Help()->setGeometry(770, 0, 505, 860);
    const qsizetype page = options.indexOf(QStringLiteral("--page"));
    if (page > 0 && page + 1 < options.size()) bench.frame().Help()->Browser()->setSource(QUrl(options[page + 1]));
  }
}

// Appends text and a formula to the end of the window's text and selects the formula,
// as a user writing a derivation from top to bottom does.
void AppendFormula(TEditForm& editor, const std::string& text, const std::string& formula) {
  Select(editor, TextOf(editor).size(), 0);
  editor.Memo1()->insertPlainText(QString::fromStdString(text + formula));
  Select(editor, TextOf(editor).size() - formula.size(), formula.size());
}

// A derivation that fills three printed pages: notes, the tree of the formula, its
// decision and its conjunctive normal form, step by step.
void PrintDerivation(Workbench& bench, const QString& file) {
  const std::string formula = "(A=B)=C";
  TEditForm* editor = bench.NewEditor();
  editor->Document().DetailLevel = 1;
  AppendFormula(*editor, "Exercise 4: is the following equivalence valid?\n\n", formula);
  editor->DecompileTreeClick();
  AppendFormula(*editor, "Its decision, step by step:\n", formula);
  editor->Decision1Click();
  AppendFormula(*editor, "So the formula is consistent, but not valid. Its conjunctive normal form:\n", formula);
  editor->Conjunctive1Click();
  QPrinter& printer = bench.frame().Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  Dialogs().print = [](QWidget*, QPrinter&) { return true; };
  editor->Print1Click();
}

// A derivation with a truth table, its models and its LaTeX, exported as a LaTeX file.
void ExportDerivation(Workbench& bench, const QString& file) {
  const std::string formula = "(A>B)&(B>C)>(A>C)";
  TEditForm* editor = bench.NewEditor();
  editor->Document().DetailLevel = 1;
  AppendFormula(*editor, "Exercise 5: is the chain rule valid? Note: 100% sure, #1 of {3}.\n\n", formula);
  editor->TruthTable1Click();
  AppendFormula(*editor, "A model and the search for a countermodel:\n", formula);
  editor->Model1Click();
  editor->Countermodel1Click();
  AppendFormula(*editor, "Its minimal DNF, step by step:\n", "(A>B)&~C");
  editor->MinimalDNF1Click();
  Dialogs().latexFileName = [file](QWidget*, const QString&) { return file; };
  editor->ExportLatex1Click();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(ApplicationTitle());
  QApplication::setWindowIcon(QIcon(ProgramPicture()));
  lumenark::SetMemoryLimit(lumenark::MemoryLimitFromEnvironment());
  Workbench bench;
  const QStringList options = QApplication::arguments();
  const qsizetype print = options.indexOf(QStringLiteral("--print"));
  if (print > 0 && print + 1 < options.size()) {
    PrintDerivation(bench, options[print + 1]);
    return 0;
  }
  const qsizetype latex = options.indexOf(QStringLiteral("--latex"));
  if (latex > 0 && latex + 1 < options.size()) {
    ExportDerivation(bench, options[latex + 1]);
    return 0;
  }
  ShowSession(bench, options);
  // exit, not quit: quit closes the windows first, and the changed ones would ask
  // whether to save.
  const int seconds = options.contains(QStringLiteral("--memory")) ? 120 : options.contains(QStringLiteral("--full")) ? 20 : 6;
  QTimer::singleShot(seconds * 1000, &application, [] { QCoreApplication::exit(0); });
  return QApplication::exec();
}
