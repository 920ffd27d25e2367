#pragma once
#include <string>

namespace platform {

// Numbers in files and dialogs are written with a "." whatever the desktop's
// locale: a German desktop must not turn "12.5" into 12 or write "12,5".

// strtod of the "C" locale: leading blanks, sign, digits, ".", exponent; end
// (when given) points past what was read, as with strtod.
double decimalFromText(const char* text, const char** end = nullptr);
// snprintf of one double with the "C" locale's decimal point.
std::string decimalToText(const char* format, double value);

}  // namespace platform
