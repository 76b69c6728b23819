#include "minimum/KarnaughMap.h"

#include <bit>
#include <map>

#include "minimum/MinimumForm.h"
#include "minimum/ReportLines.h"
#include "runtime/EngineGlobals.h"

namespace lumenark {
namespace {

// The maps drawn and not yet taken, by document. Only the user-interface thread draws.
std::map<const FormulaDocument*, KarnaughMap>& DrawnMaps() {
  static std::map<const FormulaDocument*, KarnaughMap> maps;
  return maps;
}

// "(rows 00 01, columns 10)": the labels of the rows and columns that the group covers.
std::string Extent(const KarnaughMap& map, const KarnaughGroup& group) {
  std::string rows, columns;
  for (const std::uint32_t row : map.RowCodes()) {
    if ((map.Minterm(row, 0) & group.care & ~((1u << map.columnLetters) - 1)) ==
        (group.value & ~((1u << map.columnLetters) - 1))) {
      rows += " " + map.RowLabel(row);
    }
  }
  for (const std::uint32_t column : map.ColumnCodes()) {
    if ((column & group.care & ((1u << map.columnLetters) - 1)) == (group.value & ((1u << map.columnLetters) - 1))) {
      columns += " " + map.ColumnLabel(column);
    }
  }
  return "(" + (map.rowLetters > 0 ? "rows" + rows + ", " : std::string()) + "columns" + columns + ")";
}

}  // namespace

std::vector<std::uint32_t> KarnaughMap::Codes(int letters) {
  switch (letters) {
    case 0: return {0};
    case 1: return {0, 1};
    case 2: return {0, 1, 3, 2};
    default: return {0, 1, 3, 2, 4, 5, 7, 6};  // two maps: the first letter 0, then 1
  }
}

std::string KarnaughMap::Binary(std::uint32_t code, int digits) {
  std::string text;
  for (int d = digits - 1; d >= 0; --d) text += ((code >> d) & 1) != 0 ? '1' : '0';
  return text;
}

std::vector<std::string> KarnaughMap::Lines() const {
  const std::string corner = letters.substr(0, rowLetters) + "\\" + letters.substr(rowLetters);
  const std::size_t labelWidth = std::max(corner.size(), static_cast<std::size_t>(rowLetters));
  const std::vector<std::uint32_t> columns = ColumnCodes();
  // A second map starts after a wider gap.
  auto gap = [&](std::size_t c) { return c == 4 ? "  " : " "; };
  std::vector<std::string> lines{corner + std::string(labelWidth - corner.size(), ' ')};
  for (std::size_t c = 0; c < columns.size(); ++c) lines[0] += gap(c) + ColumnLabel(columns[c]);
  for (const std::uint32_t row : RowCodes()) {
    std::string line = RowLabel(row);
    line.resize(labelWidth, ' ');
    for (std::size_t c = 0; c < columns.size(); ++c) {
      line += gap(c) + std::string(static_cast<std::size_t>(columnLetters - 1), ' ') + (Value(row, columns[c]) ? '1' : '0');
    }
    lines.push_back(line);
  }
  return lines;
}

void WriteKarnaughMap(FormulaDocument& doc) {
  DrawnMaps().erase(&doc);
  if (doc.Root == nullptr) return;
  const std::uint64_t letters = LettersOfTree(doc.Root);
  const int count = std::popcount(letters);
  if (StopRequested) return;
  if (count < 1 || count > kMostKarnaughLetters) {
    doc.Platform.ShowMessage(kKarnaughLettersMessage);
    return;
  }
  const std::optional<BooleanFunction> f = FunctionOfFormula(doc.Root);
  if (!f) return;
  KarnaughMap map;
  for (int i = 0; i < count; ++i) map.letters += f->Letter(i);
  map.rowLetters = count / 2;
  map.columnLetters = count - map.rowLetters;
  map.ones = f->table[0];
  if (OutputColumn != 0) doc.InsertLine();
  for (const std::string& line : map.Lines()) WriteTextLine(doc, line);
  const MinimumForm form = FindMinimumForm(*f, CubeReading::Term, doc.Platform);
  if (form.outcome != CoverOutcome::Proved || StopRequested) return;
  for (const std::int32_t j : form.cover) {
    map.groups.push_back({form.primes[j].care, form.primes[j].value, CubeFormula(form.primes[j], *f, CubeReading::Term)});
  }
  map.minimum = FormulaOfPrimes(form, form.cover);
  if (doc.DetailLevel <= 1) {
    for (std::size_t g = 0; g < map.groups.size() && !StopRequested; ++g) {
      doc.InsertString("Group " + std::to_string(g + 1) + " " + Extent(map, map.groups[g]) + ":");
      WriteFormulaText(doc, map.groups[g].term);
    }
    if (!StopRequested) doc.InsertString("Result - Minimum DNF:");
    WriteFormulaText(doc, map.minimum);
  }
  if (!StopRequested) DrawnMaps()[&doc] = std::move(map);
}

std::optional<KarnaughMap> TakeDrawnKarnaughMap(const FormulaDocument& doc) {
  auto found = DrawnMaps().find(&doc);
  if (found == DrawnMaps().end()) return std::nullopt;
  KarnaughMap map = std::move(found->second);
  DrawnMaps().erase(found);
  return map;
}

}  // namespace lumenark
