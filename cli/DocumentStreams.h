#pragma once
// The document's way in from standard input (or -e TEXT) and out to standard output.
// Both pass in pieces through fixed buffers, so the document is held once, in the
// editor text that the memory budget counts, and writing it out needs no memory that
// could run short: a command that ended at the budget still has its document written.

#include <optional>
#include <string>
#include <string_view>

#include "text/MemoryEditorText.h"

namespace lumenark::cli {

// An input or output error, already reported on standard error.
struct InputOutputError {};

// Reports what failed, with the system's reason, and throws InputOutputError.
[[noreturn]] void FailInputOutput(const char* what);

// Appends the text, or else all of standard input, to the document, line breaks made
// CR LF. Reading ends early, with the document read so far, when a stop is requested
// (StopRequests.h). A refused charge throws std::bad_alloc.
void ReadDocument(const std::optional<std::string>& text, MemoryEditorText& document);

// Writes the whole document to standard output, with LF line breaks unless crlf, and
// closes standard output.
void WriteDocument(const MemoryEditorText& document, bool crlf);

// Writes the whole document as a standalone LaTeX file to standard output and closes it;
// the message instead, with nothing written, when the document cannot be exported (then
// the document is written as plain text, and the message says so on a line of its own).
std::optional<std::string> WriteLatexDocument(const MemoryEditorText& document);
inline constexpr std::string_view kWrittenAsPlainText = "The document was written as plain text instead.";

}  // namespace lumenark::cli
