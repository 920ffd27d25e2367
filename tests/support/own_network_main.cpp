// Test programs whose every test runs in a network namespace of its own:
// ctest starts each test as its own process, so no two share one.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/own_network.h"

int main(int argc, char** argv) {
  // Before gtest or anything else starts a thread.
  const std::string why = testing_support::enterOwnNetwork();
  if (!why.empty()) std::fprintf(stderr, "no network namespace of our own, multicast tests skip: %s\n", why.c_str());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
