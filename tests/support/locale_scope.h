// Runs part of a test under another C locale, as a desktop session sets it.
#pragma once

#include <clocale>
#include <string>

namespace testing_support {

// German, as on the desktops this program's operators use: "," for decimals.
inline constexpr const char* kCommaLocale = "de_DE.UTF-8";
inline constexpr const char* kMissingCommaLocale =
    "the locale de_DE.UTF-8 is missing; scripts/install-deps.sh installs the Debian package locales and generates it";

class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleScope() { std::setlocale(LC_ALL, previous_.c_str()); }
  LocaleScope(const LocaleScope&) = delete;
  LocaleScope& operator=(const LocaleScope&) = delete;
  // The locale is in force; for the comma locale, it really writes commas.
  bool ok() const { return ok_; }
  static std::string decimalPoint() { return std::localeconv()->decimal_point; }

 private:
  std::string previous_;
  bool ok_ = false;
};

}  // namespace testing_support
