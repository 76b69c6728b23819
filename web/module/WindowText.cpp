#include "WindowText.h"

#include <algorithm>

namespace lumenark::web {

std::string EngineTextOf(std::string_view pageText) {
  std::string text;
  text.reserve(pageText.size() + static_cast<std::size_t>(std::count(pageText.begin(), pageText.end(), '\n')));
  for (const char c : pageText) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

std::size_t EnginePosition(std::string_view pageText, std::size_t pagePosition) {
  pagePosition = std::min(pagePosition, pageText.size());
  const auto breaks = std::count(pageText.begin(), pageText.begin() + static_cast<std::ptrdiff_t>(pagePosition), '\n');
  return pagePosition + static_cast<std::size_t>(breaks);
}

std::size_t PagePosition(std::string_view engineText, std::size_t enginePosition) {
  enginePosition = std::min(enginePosition, engineText.size());
  if (enginePosition > 0 && enginePosition < engineText.size() && engineText[enginePosition] == '\n' &&
      engineText[enginePosition - 1] == '\r') {
    --enginePosition;
  }
  const auto breaks =
      std::count(engineText.begin(), engineText.begin() + static_cast<std::ptrdiff_t>(enginePosition), '\n');
  return enginePosition - static_cast<std::size_t>(breaks);
}

std::string PageTextOf(std::string_view engineText) {
  std::string text;
  text.reserve(engineText.size());
  for (std::size_t i = 0; i < engineText.size(); ++i) {
    if (engineText[i] == '\r' && i + 1 < engineText.size() && engineText[i + 1] == '\n') continue;
    text += engineText[i];
  }
  return text;
}

namespace {

// Whether position splits a CR LF pair of the text.
bool SplitsLineBreak(std::string_view text, std::size_t position) {
  return position > 0 && position < text.size() && text[position - 1] == '\r' && text[position] == '\n';
}

}  // namespace

TextChange ChangeBetween(std::string_view before, std::string_view after) {
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
  TextChange change;
  if (prefix == before.size() && prefix == after.size()) return change;
  // The unchanged parts end and start at whole line breaks, in both texts.
  if (SplitsLineBreak(before, prefix) || SplitsLineBreak(after, prefix)) --prefix;
  if (SplitsLineBreak(before, before.size() - suffix) || SplitsLineBreak(after, after.size() - suffix)) --suffix;
  change.changed = true;
  change.from = PagePosition(before, prefix);
  change.to = PagePosition(before, before.size() - suffix);
  change.insert = PageTextOf(after.substr(prefix, after.size() - suffix - prefix));
  return change;
}

}  // namespace lumenark::web
