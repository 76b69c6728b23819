// The functions lumenark-engine.js calls. Text crosses as 8-bit bytes in the module's
// memory (the caller allocates with malloc and frees); what a call answers waits in the
// reply until the next call, where the JavaScript side reads it.

#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BatchRun.h"
#include "DrawingJson.h"
#include "EngineWindow.h"
#include "PageHost.h"
#include "RecoveryRecord.h"
#include "StackProbe.h"
#include "formula/NodeAllocator.h"
#include "analysis/LatexDocument.h"
#include "formula/TreeSnapshot.h"
#include "minimum/KarnaughMap.h"
#include "proofs/Tableau.h"
#include "runtime/EngineStack.h"
#include "runtime/MemoryBudget.h"
#include "runtime/StackRoom.h"

namespace lumenark::web {
namespace {

struct Reply {
  int status = 0;
  std::string text;  // the document of a batch, the inserted text of a window's command, a saved tree
  std::vector<std::string> messages;
  std::string json;  // a window command's other answers
};

Reply reply;
PageHost host;
std::string tableauJson;  // the tableau of the running command, when it built one

void KeepTableau(const FormulaDocument&, const TableauTree& tree) { tableauJson = TableauJson(tree); }

std::string_view Bytes(const char* data, std::uint32_t size) { return {data, size}; }

// The commands of a batch, one name a line; nothing if a name is unknown (it is then
// the reply's text).
std::optional<std::vector<FormulaCommand>> CommandsOf(std::string_view names) {
  std::vector<FormulaCommand> commands;
  while (!names.empty()) {
    const std::size_t end = names.find('\n');
    const std::string_view name = names.substr(0, end);
    names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
    const std::optional<FormulaCommand> command = CommandFromName(name);
    if (!command) {
      reply.text = std::string(name);
      return std::nullopt;
    }
    commands.push_back(*command);
  }
  return commands;
}

std::string Flag(bool value) { return value ? "true" : "false"; }

}  // namespace
}  // namespace lumenark::web

using namespace lumenark;
using namespace lumenark::web;

extern "C" {

EMSCRIPTEN_KEEPALIVE void lk_start() { UseStackProbe(); }

// Bytes; a text such as "512M" is read as lumenark-cli --memory-limit reads it. False for
// a size that is none.
EMSCRIPTEN_KEEPALIVE int lk_set_memory_limit_text(const char* text, std::uint32_t size) {
  const std::optional<std::uint64_t> bytes = ParseMemorySize(Bytes(text, size));
  if (!bytes) return 0;
  SetMemoryLimit(bytes);
  return 1;
}
EMSCRIPTEN_KEEPALIVE void lk_set_memory_limit(double bytes) { SetMemoryLimit(static_cast<std::uint64_t>(bytes)); }
EMSCRIPTEN_KEEPALIVE double lk_memory_limit() { return static_cast<double>(MemoryBudgetBytes()); }
EMSCRIPTEN_KEEPALIVE double lk_memory_in_use() { return static_cast<double>(MemoryInUse()); }
EMSCRIPTEN_KEEPALIVE void lk_set_depth_limit(std::uint32_t levels) { SetDepthLimit(levels); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_depth_limit() { return DepthLimit(); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_live_nodes() { return static_cast<std::uint32_t>(LiveNodeCount()); }

// The depth message, for a command the JavaScript side saw run off the stack.
EMSCRIPTEN_KEEPALIVE void lk_depth_message(std::uint32_t depth) {
  reply = {};
  reply.text = DepthRefusalText(depth);
}

EMSCRIPTEN_KEEPALIVE RecoveryRecord* lk_recovery_record() { return &TheRecoveryRecord(); }
// Where the levels alive now are counted (runtime/StackRoom.h), read after a command ran
// off the stack.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* lk_depth_counter() { return &stack_detail::depth; }

// ---- A batch ----------------------------------------------------------------------------
// Returns the status, or -1 for an unknown command (named in the reply's text).
EMSCRIPTEN_KEEPALIVE int lk_run(const char* text, std::uint32_t textSize, const char* names, std::uint32_t namesSize,
                                int details, int results, int width, int crlf, int latex, const char* dimacs,
                                std::uint32_t dimacsSize, int hasDimacs, const char* dimacsName,
                                std::uint32_t dimacsNameSize, std::uint32_t timeLimit) {
  reply = {};
  const std::optional<std::vector<FormulaCommand>> commands = CommandsOf(Bytes(names, namesSize));
  if (!commands) return -1;
  BatchOptions options;
  options.details = details;
  options.results = results != 0;
  options.width = width;
  options.crlf = crlf != 0;
  options.latex = latex != 0;
  if (hasDimacs != 0) options.dimacs = Bytes(dimacs, dimacsSize);
  options.dimacsName = Bytes(dimacsName, dimacsNameSize);
  options.timeLimit = timeLimit;
  try {
    BatchAnswer answer = RunBatch(host, Bytes(text, textSize), *commands, options);
    reply.status = answer.status;
    reply.text = std::move(answer.document);
    reply.messages = host.Messages();
  } catch (const std::bad_alloc&) {
    // The module's memory itself would not grow for a copy the budget does not count.
    reply = {1, {}, {InsufficientMemoryText()}, {}};
  }
  return reply.status;
}

// ---- Windows ----------------------------------------------------------------------------
EMSCRIPTEN_KEEPALIVE EngineWindow* lk_open_window() { return new EngineWindow(host); }

EMSCRIPTEN_KEEPALIVE void lk_close_window(EngineWindow* window) {
  RunOnEngineStack([window] { delete window; });
}

EMSCRIPTEN_KEEPALIVE void lk_set_window_options(EngineWindow* window, int details, int results, int width) {
  FormulaDocument& doc = window->Document();
  doc.DetailLevel = static_cast<std::uint16_t>(details);
  doc.ShowResults = results != 0;
  doc.LineWidth = width;
}

EMSCRIPTEN_KEEPALIVE int lk_window_has_tree(EngineWindow* window) { return window->Document().Root != nullptr; }
// Where the window's tree hangs, for reading it from this memory after the module failed.
EMSCRIPTEN_KEEPALIVE FormulaNode* const* lk_window_root(EngineWindow* window) { return &window->Document().Root; }

// Returns the status, or -1 for an unknown command. The reply's json holds the rest.
EMSCRIPTEN_KEEPALIVE int lk_window_command(EngineWindow* window, const char* name, std::uint32_t nameSize,
                                           const char* text, std::uint32_t textSize, std::uint32_t selectionStart,
                                           std::uint32_t selectionEnd) {
  reply = {};
  const std::optional<FormulaCommand> command = CommandFromName(Bytes(name, nameSize));
  if (!command) {
    reply.text = std::string(name, nameSize);
    return -1;
  }
  // The tableau is drawn in the page's window; a batch only writes it.
  tableauJson.clear();
  ObserveTableaux(KeepTableau);
  WindowAnswer answer;
  try {
    answer = window->Command(*command, Bytes(text, textSize), selectionStart, selectionEnd);
  } catch (const std::bad_alloc&) {
    // The module's memory itself would not grow for a copy the budget does not count.
    answer = {{}, selectionStart, selectionEnd, 1};
    host.ShowMessage(InsufficientMemoryText());
  }
  ObserveTableaux(nullptr);
  FormulaDocument& doc = window->Document();
  reply.status = answer.status;
  reply.messages = host.Messages();
  reply.text = std::move(answer.change.insert);
  reply.json = "{\"changed\":" + Flag(answer.change.changed) + ",\"from\":" + std::to_string(answer.change.from) +
               ",\"to\":" + std::to_string(answer.change.to) +
               ",\"selectionStart\":" + std::to_string(answer.selectionStart) +
               ",\"selectionEnd\":" + std::to_string(answer.selectionEnd) + ",\"hasTree\":" + Flag(doc.Root != nullptr);
  if (const std::optional<KarnaughMap> map = TakeDrawnKarnaughMap(doc); map && *command == FormulaCommand::KarnaughMap) {
    reply.json += ",\"karnaughMap\":" + KarnaughMapJson(*map);
  }
  if (!tableauJson.empty() && *command == FormulaCommand::Tableau) reply.json += ",\"tableau\":" + tableauJson;
  tableauJson.clear();
  reply.json += "}";
  return reply.status;
}

// The tree's snapshot in the reply's text (empty without a tree); 0 when memory ran out.
EMSCRIPTEN_KEEPALIVE int lk_save_tree(EngineWindow* window) {
  reply = {};
  const FormulaNode* root = window->Document().Root;
  if (root == nullptr) return 1;
  BeginMemoryBudget();
  try {
    const BudgetString bytes = SaveTree(root);
    reply.text.assign(bytes.data(), bytes.size());
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

// 1 restored, 0 not a snapshot, -1 memory ran out. The window's tree is replaced only
// by a whole one.
EMSCRIPTEN_KEEPALIVE int lk_load_tree(EngineWindow* window, const char* bytes, std::uint32_t size) {
  BeginMemoryBudget();
  std::optional<FormulaNode*> tree;
  try {
    tree = LoadTree(Bytes(bytes, size));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (!tree) {
    const bool exhausted = MemoryExhausted;
    MemoryExhausted = false;
    return exhausted ? -1 : 0;
  }
  FormulaDocument& doc = window->Document();
  RunOnEngineStack([&doc] { doc.DisposeTree(); });
  doc.Root = *tree;
  return 1;
}

EMSCRIPTEN_KEEPALIVE void lk_dispose_tree(EngineWindow* window) {
  FormulaDocument& doc = window->Document();
  RunOnEngineStack([&doc] { doc.DisposeTree(); });
}

// ---- The LaTeX export of a document -------------------------------------------------------
EMSCRIPTEN_KEEPALIVE void lk_latex_document(const char* text, std::uint32_t size) {
  reply = {};
  host.Begin();
  std::string tex;
  const std::string_view document = Bytes(text, size);
  std::optional<std::string> refusal =
      ExportLatexDocument(document, [&tex](std::string_view piece) { tex += piece; });
  if (refusal) reply.messages.push_back(*refusal);
  else reply.text = std::move(tex);
}

// ---- The reply ------------------------------------------------------------------------------
EMSCRIPTEN_KEEPALIVE const char* lk_reply_text() { return reply.text.data(); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_reply_text_size() { return static_cast<std::uint32_t>(reply.text.size()); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_reply_message_count() { return static_cast<std::uint32_t>(reply.messages.size()); }
EMSCRIPTEN_KEEPALIVE const char* lk_reply_message(std::uint32_t i) { return reply.messages[i].data(); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_reply_message_size(std::uint32_t i) {
  return static_cast<std::uint32_t>(reply.messages[i].size());
}
EMSCRIPTEN_KEEPALIVE const char* lk_reply_json() { return reply.json.data(); }
EMSCRIPTEN_KEEPALIVE std::uint32_t lk_reply_json_size() { return static_cast<std::uint32_t>(reply.json.size()); }
EMSCRIPTEN_KEEPALIVE void lk_reply_clear() { reply = {}; }

}  // extern "C"
