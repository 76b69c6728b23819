#pragma once
// The parser's error codes (ParseError) and their messages.

#include <cstdint>
#include <string_view>

namespace lumenark {

enum ParseErrorCode : std::uint8_t {
  kIllegalCharacter = 1,        // neither skipped nor a formula character
  kMissingOperator = 2,         // a complete formula followed by another character
  kMissingExpression = 3,       // a factor expected where none can begin
  kMissingRightBracket = 4,     // '(' formula not followed by ')'
  kUnexpectedRightBracket = 5,  // a complete formula followed by ')'
  kInsufficientMemory = 8,      // no memory left for the tree
};

// The message box text of a code; empty for 0 and unknown codes.
std::string_view ParseErrorMessage(std::uint8_t code);

}  // namespace lumenark
