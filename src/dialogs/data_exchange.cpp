#include "dialogs/data_exchange.h"

#include <QLineEdit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/decimal_text.h"
#include "platform/message_box.h"

namespace dialogs {
namespace {

std::string trimmed(const std::string& text) {
  std::size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// [sign] digits [. digits] [e [sign] digits], at least one mantissa digit;
// a comma may stand for the point, as operators on a German desktop type it.
bool decimalSyntax(const std::string& t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  if (i < t.size() && (t[i] == '.' || t[i] == ',')) {
    ++i;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == t.size();
}

std::string replaceLimits(std::string text, const std::string& min, const std::string& max) {
  text.replace(text.find("%1"), 2, min);
  text.replace(text.find("%2"), 2, max);
  return text;
}

void fail(QLineEdit* edit, const std::string& message) {
  edit->setFocus();
  edit->selectAll();
  platform::showMessage(platform::MessageIcon::Warning, message);
}

}  // namespace

Parse parseUnsigned(const std::string& text, std::uint32_t min, std::uint32_t max, std::uint32_t& out) {
  const std::string t = trimmed(text);
  if (t.empty()) return Parse::NotANumber;
  std::uint64_t v = 0;
  for (char c : t) {
    if (!isDigit(c)) return Parse::NotANumber;
    if (v <= UINT32_MAX) v = v * 10 + std::uint64_t(c - '0');
  }
  if (v < min || v > max) return Parse::OutOfRange;
  out = std::uint32_t(v);
  return Parse::Ok;
}

Parse parseFloat(const std::string& text, float min, float max, float& out) {
  const std::string t = trimmed(text);
  if (!decimalSyntax(t)) return Parse::NotANumber;
  std::string point = t;
  if (const std::size_t comma = point.find(','); comma != std::string::npos) point[comma] = '.';
  const double d = platform::decimalFromText(point.c_str());
  // 1e400 parses as infinity: a number, but out of every range.
  if (!(d >= double(min) && d <= double(max))) return Parse::OutOfRange;
  out = static_cast<float>(d);
  return Parse::Ok;
}

std::string unsignedMessage(Parse result, std::uint32_t min, std::uint32_t max) {
  if (result == Parse::NotANumber) return "Geben Sie bitte eine positive ganze Zahl ein.";
  return replaceLimits("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.", std::to_string(min),
                       std::to_string(max));
}

std::string floatMessage(Parse result, float min, float max) {
  if (result == Parse::NotANumber) return "Geben Sie bitte eine Zahl ein.";
  return replaceLimits("Geben Sie bitte eine Zahl zwischen %1 und %2 ein.", formatFloat(min), formatFloat(max));
}

std::string formatFloat(float value) {
  return platform::decimalToText("%.6g", double(value));
}

bool exchangeUnsigned(QLineEdit* edit, std::uint32_t min, std::uint32_t max, std::uint32_t& value) {
  std::uint32_t v = 0;
  const Parse r = parseUnsigned(edit->text().toStdString(), min, max, v);
  if (r != Parse::Ok) {
    fail(edit, unsignedMessage(r, min, max));
    return false;
  }
  value = v;
  return true;
}

bool exchangeFloat(QLineEdit* edit, float min, float max, float& value) {
  float v = 0;
  const Parse r = parseFloat(edit->text().toStdString(), min, max, v);
  if (r != Parse::Ok) {
    fail(edit, floatMessage(r, min, max));
    return false;
  }
  value = v;
  return true;
}

}  // namespace dialogs
