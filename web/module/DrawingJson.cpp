#include "DrawingJson.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "proofs/SignedFormula.h"

namespace lumenark::web {
namespace {

std::string Quoted(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

template <typename Items, typename Item>
std::string List(const Items& items, Item item) {
  std::string json = "[";
  for (const auto& each : items) {
    if (json.size() > 1) json += ',';
    json += item(each);
  }
  return json + "]";
}

std::string Number(std::uint64_t value) { return std::to_string(value); }

constexpr std::size_t kMostDrawnTableauLines = 10000;
constexpr std::size_t kMostDrawnTableauText = std::size_t{1} << 20;

const char* EndName(BranchEnd end) {
  switch (end) {
    case BranchEnd::Split: return "split";
    case BranchEnd::Closed: return "closed";
    case BranchEnd::Open: return "open";
    case BranchEnd::Undeveloped: return "not developed";
  }
  return "";
}

}  // namespace

std::string KarnaughMapJson(const KarnaughMap& map) {
  std::vector<int> ones(std::size_t{1} << map.letters.size());
  for (std::size_t m = 0; m < ones.size(); ++m) ones[m] = static_cast<int>((map.ones >> m) & 1);
  return "{\"letters\":" + Quoted(map.letters) + ",\"rowLetters\":" + Number(map.rowLetters) +
         ",\"columnLetters\":" + Number(map.columnLetters) + ",\"ones\":" + List(ones, Number) +
         ",\"groups\":" + List(map.groups, [](const KarnaughGroup& group) {
           return "{\"care\":" + Number(group.care) + ",\"value\":" + Number(group.value) +
                  ",\"term\":" + Quoted(group.term) + "}";
         }) +
         ",\"minimum\":" + Quoted(map.minimum) + ",\"rowCodes\":" + List(map.RowCodes(), Number) +
         ",\"columnCodes\":" + List(map.ColumnCodes(), Number) + "}";
}

std::string TableauJson(const TableauTree& tree) {
  // A tableau too large to draw is not described: its lines are formulas, each perhaps
  // as long as the whole one.
  std::size_t textBytes = 0;
  for (const TableauLine& line : tree.lines) {
    textBytes += FormulaText(line.formula).size();
    if (tree.lines.size() > kMostDrawnTableauLines || textBytes > kMostDrawnTableauText) return {};
  }
  const auto numberOf = [&tree](std::int32_t line) { return line < 0 ? 0 : tree.lines[line].number; };
  // In the order they are numbered.
  std::vector<const TableauLine*> numbered(tree.lines.size());
  for (const TableauLine& line : tree.lines) {
    if (line.number >= 1 && line.number <= numbered.size()) numbered[line.number - 1] = &line;
  }
  std::erase(numbered, nullptr);
  std::string lines = List(numbered, [&](const TableauLine* each) {
    const TableauLine& line = *each;
    return "{\"number\":" + Number(line.number) + ",\"text\":" + Quoted(FormulaText(line.formula)) +
           ",\"rule\":" + Quoted(RuleName(line.rule)) + ",\"from\":" + Number(numberOf(line.from)) + "}";
  });
  std::string branches = List(tree.segments, [&](const TableauSegment& segment) {
    std::vector<std::uint32_t> numbers;
    for (std::int32_t line = segment.first; line >= 0; line = tree.lines[line].next) numbers.push_back(numberOf(line));
    std::string json = "{\"lines\":" + List(numbers, Number) + ",\"end\":" + Quoted(EndName(segment.end));
    if (segment.end == BranchEnd::Closed) {
      json += ",\"closedBy\":[" + Number(numberOf(segment.closedBy[0]));
      if (segment.closedBy[1] >= 0) json += "," + Number(numberOf(segment.closedBy[1]));
      json += "]";
    }
    if (segment.end == BranchEnd::Split) {
      json += ",\"children\":[" + Number(static_cast<std::uint32_t>(segment.children[0])) + "," +
              Number(static_cast<std::uint32_t>(segment.children[1])) + "]";
    }
    return json + "}";
  });
  const char* verdict = tree.verdict == TableauTree::Verdict::Valid ? "valid" : "open";
  return "{\"verdict\":\"" + std::string(verdict) + "\",\"lines\":" + lines + ",\"branches\":" + branches + "}";
}

}  // namespace lumenark::web
