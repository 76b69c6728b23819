#pragma once
// The line length typed into the options panel, read without complaint: leading
// blanks are skipped; a '+' or '-' may follow, or a '$' that makes the digits
// hexadecimal; the value is that of the digits up to the first character that is not
// one, 0 if there is none. Values too large for the result saturate.

#include <QStringView>
#include <cstdint>

std::int64_t ReadLineLength(QStringView text);
