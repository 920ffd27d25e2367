#pragma once
// Shared by the fuzz targets: a finding is an abort with the reason on
// stderr, so that libFuzzer keeps the input that caused it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/instrument_window.h"

#define FUZZ_CHECK(condition, ...)                                   \
  do {                                                               \
    if (!(condition)) {                                              \
      std::fprintf(stderr, "fuzz check failed: %s: ", #condition);   \
      std::fprintf(stderr, __VA_ARGS__);                             \
      std::fprintf(stderr, "\n");                                    \
      std::abort();                                                  \
    }                                                                \
  } while (0)

namespace fuzzing {

// A folder of this process's own, in memory where possible, made on the
// first call.
const std::string& scratchFolder();

// An instrument window drawing into an offscreen pbuffer, with the artwork
// of this build; aborts when no GL context can be had.
std::unique_ptr<InstrumentWindow> offscreenWindow(int width, int height);

}  // namespace fuzzing
