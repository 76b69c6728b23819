#pragma once
// lumenark-cli --dimacs FILE: the document is the CNF of a DIMACS file, as a formula
// (dimacs/DimacsReader.h).

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/Host.h"
#include "text/MemoryEditorText.h"

namespace lumenark::cli {

// Appends the file's formula, its lines broken within width, to the document. The
// message when the file is no DIMACS CNF the program can read (naming the file and the
// line); a file that cannot be read is an input error (FailInputOutput). A refused
// charge throws std::bad_alloc. A stop (StopRequests.h, taken through host) ends the
// reading, with nothing appended and no message.
std::optional<std::string> ReadDimacsDocument(const std::string& path, std::int32_t width, MemoryEditorText& document,
                                              Host& host);

}  // namespace lumenark::cli
