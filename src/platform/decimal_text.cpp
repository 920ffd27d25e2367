#include "platform/decimal_text.h"

#include <locale.h>
#include <stdlib.h>

#include <cstdio>

namespace platform {
namespace {

// Made once and never freed: it is shared by every thread for the whole run.
locale_t cLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return c;
}

}  // namespace

double decimalFromText(const char* text, const char** end) {
  char* stop = nullptr;
  const double v = strtod_l(text, &stop, cLocale());
  if (end) *end = stop;
  return v;
}

std::string decimalToText(const char* format, double value) {
  // uselocale switches this thread only, so the user-interface thread's
  // locale is back as it was before anything else runs on it.
  const locale_t previous = uselocale(cLocale());
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  uselocale(previous);
  return buffer;
}

}  // namespace platform
