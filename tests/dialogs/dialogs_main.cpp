// The dialog tests run on Qt's offscreen platform in a scratch folder that
// is both working directory and per-user configuration folder.
#include <QApplication>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "support/offscreen.h"
#include "support/qt_main.h"

int main(int argc, char** argv) {
  const std::string scratch = testing_support::makeScratchFolder("dialogs");
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (chdir(scratch.c_str()) != 0) return 1;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::filesystem::remove_all(scratch);
  return rc;
}
