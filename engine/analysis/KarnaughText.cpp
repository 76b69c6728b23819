#include "analysis/KarnaughText.h"

#include <algorithm>
#include <cstdint>

#include "formula/LetterBits.h"

namespace lumenark {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while ((i = line.find_first_not_of(' ', i)) != std::string_view::npos) {
    const std::size_t end = std::min(line.find(' ', i), line.size());
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

// Letters each once, in the order A..Z, a..z.
bool AreLetters(std::string_view letters) {
  std::uint64_t previous = 0;
  for (const char c : letters) {
    if (LetterBit(c) <= previous) return false;
    previous = LetterBit(c);
  }
  return true;
}

// The labels of an edge of k letters in the map's order: Gray code, and with three
// letters two maps, the first letter 0 then 1.
std::vector<std::string> Labels(std::size_t k) {
  static const char* const kOrder[] = {"", "01", "0132", "01324576"};
  std::vector<std::string> labels;
  for (const char* code = k == 0 ? "0" : kOrder[k]; *code != '\0'; ++code) {
    std::string label;
    for (std::size_t d = k; d-- > 0;) label += (((*code - '0') >> d) & 1) != 0 ? '1' : '0';
    labels.push_back(label);
  }
  return labels;
}

}  // namespace

std::optional<KarnaughText> ReadKarnaughText(std::span<const std::string_view> lines, std::size_t first) {
  const std::vector<std::string_view> heading = Words(lines[first]);
  if (heading.empty()) return std::nullopt;
  const std::size_t slash = heading[0].find('\\');
  if (slash == std::string_view::npos) return std::nullopt;
  KarnaughText map;
  map.rowLetters = heading[0].substr(0, slash);
  map.columnLetters = heading[0].substr(slash + 1);
  const std::size_t letters = map.rowLetters.size() + map.columnLetters.size();
  if (letters < 1 || letters > 6 || map.rowLetters.size() != letters / 2 || !AreLetters(map.rowLetters + map.columnLetters)) {
    return std::nullopt;
  }
  map.columns = Labels(map.columnLetters.size());
  map.rows = Labels(map.rowLetters.size());
  if (heading.size() != 1 + map.columns.size() || first + map.rows.size() >= lines.size()) return std::nullopt;
  for (std::size_t c = 0; c < map.columns.size(); ++c) {
    if (heading[1 + c] != map.columns[c]) return std::nullopt;
  }
  for (std::size_t r = 0; r < map.rows.size(); ++r) {
    const std::vector<std::string_view> words = Words(lines[first + 1 + r]);
    const std::size_t label = map.rowLetters.empty() ? 0 : 1;
    if (words.size() != label + map.columns.size() || (label == 1 && words[0] != map.rows[r])) return std::nullopt;
    std::vector<char>& row = map.cells.emplace_back();
    for (std::size_t c = 0; c < map.columns.size(); ++c) {
      if (words[label + c] != "0" && words[label + c] != "1") return std::nullopt;
      row.push_back(words[label + c][0]);
    }
  }
  map.lines = 1 + map.rows.size();
  return map;
}

}  // namespace lumenark
