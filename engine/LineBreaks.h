#pragma once
// Documents keep line breaks as CR LF. Text taken in from outside (a file, standard
// input) has every lone CR and every lone LF turned into CR LF; a CR LF pair stays one.

#include <string>
#include <string_view>

namespace lumenark {

std::string NormalizeLineBreaks(std::string_view text);

// The reverse for output that wants Unix line ends: every CR LF becomes LF.
std::string CrLfToLf(std::string_view text);

}  // namespace lumenark
