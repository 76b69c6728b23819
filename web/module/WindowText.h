#pragma once
// A window's text as the page holds it, and as the engine reads it. The page gives its
// whole text with "\n" line breaks, positions counting a line break as one character
// (as CodeMirror does); the engine works on 8-bit text whose line breaks are CR LF. A
// character above U+00FF has come in as one character the parser rejects, so positions
// stay valid one for one.
//
// After a command, the change is one replacement in the page's positions: the text
// between the unchanged start and the unchanged end, line breaks back to "\n".

#include <cstddef>
#include <string>
#include <string_view>

namespace lumenark::web {

// The engine's text of the page's: every LF becomes CR LF.
std::string EngineTextOf(std::string_view pageText);

// A position of the page's text in the engine's text of it, and back. A position of
// the engine's text between the CR and the LF of a line break is taken as before it.
std::size_t EnginePosition(std::string_view pageText, std::size_t pagePosition);
std::size_t PagePosition(std::string_view engineText, std::size_t enginePosition);

// The engine's text with its CR LF pairs made "\n" again.
std::string PageTextOf(std::string_view engineText);

// One replacement that turns before into after (engine texts), in the page's positions
// of before; insert in the page's form.
struct TextChange {
  bool changed = false;
  std::size_t from = 0;
  std::size_t to = 0;
  std::string insert;
};

TextChange ChangeBetween(std::string_view before, std::string_view after);

}  // namespace lumenark::web
