#pragma once
#include <cstdint>
#include <string>

class QLineEdit;

// The input checks of the dialogs' edits, with the texts operators of the
// original program know.
namespace dialogs {

enum class Parse { Ok, NotANumber, OutOfRange };

// Decimal digits only, white space around allowed. Digit strings beyond
// 32 bits count as out of range rather than wrapping.
Parse parseUnsigned(const std::string& text, std::uint32_t min, std::uint32_t max, std::uint32_t& out);
// A decimal number (sign, digits, point or comma, exponent), read the same
// under every locale; NaN, infinities and hexadecimal forms are not numbers
// here.
Parse parseFloat(const std::string& text, float min, float max, float& out);

std::string unsignedMessage(Parse result, std::uint32_t min, std::uint32_t max);
std::string floatMessage(Parse result, float min, float max);

// How a float shows in an edit: six significant digits, 15.0 as "15", a
// point for decimals under every locale.
std::string formatFloat(float value);

// Reads one edit; on failure gives it the focus with its text selected,
// shows the message and returns false, leaving value alone.
bool exchangeUnsigned(QLineEdit* edit, std::uint32_t min, std::uint32_t max, std::uint32_t& value);
bool exchangeFloat(QLineEdit* edit, float min, float max, float& value);

}  // namespace dialogs
