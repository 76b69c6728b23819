#include "text/ParseErrors.h"

namespace lumenark {

std::string_view ParseErrorMessage(std::uint8_t code) {
  switch (code) {
    case kIllegalCharacter: return "Illegal character.";
    case kMissingOperator: return "Missing operator.";
    case kMissingExpression: return "Missing expression.";
    case kMissingRightBracket: return "Missing right bracket.";
    case kUnexpectedRightBracket: return "Unexpected right bracket.";
    case kInsufficientMemory: return "Insuficient memory.";
    default: return {};
  }
}

}  // namespace lumenark
