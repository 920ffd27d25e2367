#include "dialogs/data_exchange.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/locale_scope.h"

using dialogs::Parse;
using testing_support::LocaleScope;

namespace {

TEST(DataExchange, UnsignedFields) {
  struct {
    const char* text;
    Parse result;
    std::uint32_t value;
  } cases[] = {
      {"0", Parse::Ok, 0},          {"255", Parse::Ok, 255},          {" 17 ", Parse::Ok, 17},
      {"007", Parse::Ok, 7},        {"256", Parse::OutOfRange, 0},    {"4294967296", Parse::OutOfRange, 0},
      {"99999999999999999999999", Parse::OutOfRange, 0},             {"", Parse::NotANumber, 0},
      {"  ", Parse::NotANumber, 0}, {"-1", Parse::NotANumber, 0},     {"+1", Parse::NotANumber, 0},
      {"1 2", Parse::NotANumber, 0}, {"0x10", Parse::NotANumber, 0},  {"12a", Parse::NotANumber, 0},
  };
  for (const auto& c : cases) {
    std::uint32_t v = 12345;
    EXPECT_EQ(dialogs::parseUnsigned(c.text, 0, 255, v), c.result) << c.text;
    EXPECT_EQ(v, c.result == Parse::Ok ? c.value : 12345u) << c.text;
  }
  std::uint32_t v = 0;
  EXPECT_EQ(dialogs::parseUnsigned("65535", 0, 65535, v), Parse::Ok);
  EXPECT_EQ(dialogs::parseUnsigned("4", 5, 9, v), Parse::OutOfRange);
}

// The same answers on a desktop whose locale writes decimals with a comma.
TEST(DataExchange, FloatFieldsUnderEveryLocale) {
  struct {
    const char* text;
    Parse result;
    float value;
  } cases[] = {
      {"15", Parse::Ok, 15.0f},         {"2.5", Parse::Ok, 2.5f},          {".5", Parse::Ok, 0.5f},
      {"5.", Parse::Ok, 5.0f},          {"-0", Parse::Ok, 0.0f},           {"9e1", Parse::Ok, 90.0f},
      {" 3 ", Parse::Ok, 3.0f},         {"90.0001", Parse::OutOfRange, 0}, {"-1e-3", Parse::OutOfRange, 0},
      {"1e400", Parse::OutOfRange, 0},  {"abc", Parse::NotANumber, 0},     {"", Parse::NotANumber, 0},
      {".", Parse::NotANumber, 0},      {"1e", Parse::NotANumber, 0},      {"nan", Parse::NotANumber, 0},
      {"inf", Parse::NotANumber, 0},    {"0x1p3", Parse::NotANumber, 0},   {"12,5", Parse::Ok, 12.5f},
      {",5", Parse::Ok, 0.5f},          {"1,5,0", Parse::NotANumber, 0},   {"1.5,0", Parse::NotANumber, 0},
      {"1,2e1", Parse::Ok, 12.0f},      {",", Parse::NotANumber, 0},       {"90,5", Parse::OutOfRange, 0},
  };
  for (const char* locale : {"C", testing_support::kCommaLocale}) {
    LocaleScope scope(locale);
    ASSERT_TRUE(scope.ok()) << testing_support::kMissingCommaLocale;
    for (const auto& c : cases) {
      float v = -7.0f;
      EXPECT_EQ(dialogs::parseFloat(c.text, 0.0f, 90.0f, v), c.result) << locale << ": " << c.text;
      EXPECT_EQ(v, c.result == Parse::Ok ? c.value : -7.0f) << locale << ": " << c.text;
    }
    EXPECT_EQ(dialogs::formatFloat(2.5f), "2.5") << locale;
    EXPECT_EQ(dialogs::formatFloat(0.1f), "0.1") << locale;
    EXPECT_EQ(dialogs::floatMessage(Parse::OutOfRange, 0.5f, 89.5f), "Geben Sie bitte eine Zahl zwischen 0.5 und 89.5 ein.")
        << locale;
  }
  // The scope really switched: a comma locale writes "2,5" through printf.
  LocaleScope comma(testing_support::kCommaLocale);
  EXPECT_EQ(LocaleScope::decimalPoint(), ",");
}

TEST(DataExchange, MessagesAndFormat) {
  EXPECT_EQ(dialogs::unsignedMessage(Parse::OutOfRange, 0, 255), "Geben Sie bitte eine ganze Zahl zwischen 0 und 255 ein.");
  EXPECT_EQ(dialogs::unsignedMessage(Parse::NotANumber, 0, 255), "Geben Sie bitte eine positive ganze Zahl ein.");
  EXPECT_EQ(dialogs::floatMessage(Parse::OutOfRange, 0.0f, 90.0f), "Geben Sie bitte eine Zahl zwischen 0 und 90 ein.");
  EXPECT_EQ(dialogs::floatMessage(Parse::NotANumber, 0.0f, 90.0f), "Geben Sie bitte eine Zahl ein.");
  EXPECT_EQ(dialogs::formatFloat(15.0f), "15");
  EXPECT_EQ(dialogs::formatFloat(123456789.0f), "1.23457e+08");
  EXPECT_EQ(dialogs::formatFloat(std::nanf("")), "nan");
}

}  // namespace
