#pragma once
// A count with its noun, singular where the count is 1: "1 line", "2 lines", "1 branch",
// "3 branches", "1 byte". Every message that names a count says it this way.

#include <cstdint>
#include <string>
#include <string_view>

namespace lumenark {

inline std::string CountOf(std::uint64_t count, std::string_view noun) {
  std::string text = std::to_string(count) + " " + std::string(noun);
  if (count == 1) return text;
  const bool sibilant = noun.ends_with("ch") || noun.ends_with("sh") || noun.ends_with("s") || noun.ends_with("x");
  return text + (sibilant ? "es" : "s");
}

}  // namespace lumenark
