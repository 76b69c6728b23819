#include "BatchRun.h"

#include <new>

#include "DocumentStreams.h"
#include "EngineWindow.h"
#include "RecoveryRecord.h"
#include "analysis/LatexDocument.h"
#include "commands/CommandBatch.h"
#include "dimacs/DimacsReader.h"
#include "formula/TreeSnapshot.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"
#include "text/LineBreaks.h"
#include "text/MemoryEditorText.h"

namespace lumenark::web {
namespace {

// The document as standard input brings it (line breaks made CR LF), or the CNF of the
// DIMACS file; the message where that cannot be. A refused charge throws std::bad_alloc.
std::optional<std::string> ReadDocument(std::string_view text, const BatchOptions& options, bool alone,
                                        MemoryEditorText& document) {
  if (!options.dimacs) {
    BudgetString normalized;
    LineBreakNormalizer().Feed(text, normalized);
    document.Append(normalized);
    return std::nullopt;
  }
  const DimacsFormula formula = ReadDimacs(*options.dimacs, options.width, static_cast<std::size_t>(-1));
  if (!formula.message.empty()) return std::string(options.dimacsName) + ": " + formula.message;
  document.Append(formula.text);
  // Alone, the formula is the whole output, a line of its own.
  if (alone) document.Append("\r\n");
  return std::nullopt;
}

std::string DocumentBytes(const MemoryEditorText& text, bool crlf) {
  std::string bytes = text.Text();
  return crlf ? bytes : CrLfToLf(bytes);
}

// One command of the batch, its output within the module's capacity; where it goes too
// deep, the text and the tree are put back as they were before it.
void RunGuarded(FormulaDocument& doc, MemoryEditorText& text, FormulaCommand command) {
  text.SetCapacity(kPageTextCapacity);
  std::optional<std::string> before;
  std::optional<BudgetString> tree;
  try {
    before = text.Text();
    if (doc.Root != nullptr && MayChangeTree(command)) tree = SaveTree(doc.Root);
  } catch (const std::bad_alloc&) {
  }
  const RecoveryScope recovery(tree ? std::string_view(*tree) : std::string_view(),
                               before ? std::string_view(*before) : std::string_view());
  const std::size_t start = text.SelectionStart(), length = text.SelectionLength();
  RunFormulaCommand(doc, command);
  if (text.TakeOverflow()) doc.Platform.ShowMessage(kTextCapacityMessage);
  if (!DepthRefused()) return;
  if (before) {
    text = MemoryEditorText(*before);
    text.SetSelectionStart(start);
    text.SetSelectionLength(length);
  }
  if (tree) {
    doc.DisposeTree();
    if (const std::optional<FormulaNode*> root = LoadTree(*tree)) doc.Root = *root;
  }
}

}  // namespace

BatchAnswer RunBatch(PageHost& host, std::string_view text, std::span<const FormulaCommand> commands,
                     const BatchOptions& options) {
  BatchAnswer answer;
  host.Begin();
  BeginMemoryBudget();
  MemoryEditorText document;
  try {
    if (auto message = ReadDocument(text, options, commands.empty(), document)) {
      host.ShowMessage(*message);
      answer.status = 1;
      return answer;
    }
  } catch (const std::bad_alloc&) {
    host.ShowMessage(InsufficientMemoryText());
    answer.status = 1;
    return answer;
  }
  document.SelectAll();
  {
    FormulaDocument doc(document, host);
    doc.DetailLevel = static_cast<std::uint16_t>(options.details);
    doc.ShowResults = options.results;
    doc.LineWidth = options.width;
    RunCommandBatch(
        doc, document, commands, [&host] { return host.Stopped(); }, [&host] { return !host.Messages().empty(); },
        [&](FormulaCommand command) { RunGuarded(doc, document, command); });
  }
  answer.status = StatusOf(host);
  // A stop ends the batch as a message box does, with a status of its own.
  if (host.Stopped()) {
    host.ShowMessage(host.Cause() == StopCause::TimeLimit
                         ? "Stopped after " + std::to_string(options.timeLimit) + " s."
                         : "Stopped by the Stop button.");
  }
  if (options.latex) {
    // As lumenark-cli: a document that cannot be exported is given as it is.
    std::optional<std::string> refusal;
    if (document.Size() > kMaxLatexDocumentBytes) {
      refusal = std::string(kLatexTooLargeMessage);
    } else {
      std::string tex;
      refusal = ExportLatexDocument(document.Text(), [&tex](std::string_view piece) { tex += piece; });
      if (!refusal) answer.document = std::move(tex);
    }
    if (!refusal) return answer;
    host.ShowMessage(*refusal + "\n" + std::string(cli::kWrittenAsPlainText));
    answer.status = 1;
  }
  answer.document = DocumentBytes(document, options.crlf);
  return answer;
}

}  // namespace lumenark::web
