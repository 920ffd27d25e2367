#include "support/qt_test_main.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "support/loopback.h"
#include "support/qt_main.h"
#include "support/xvfb.h"

namespace testing_support {

int runQtTests(int argc, char** argv, const char* tag, int width, int height, const char* program,
               bool windowManager) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing |= std::strncmp(argv[i], "--gtest_list_tests", 18) == 0;
  std::unique_ptr<Xvfb> x;
  std::unique_ptr<WindowManager> wm;
  const std::string scratch = makeScratchFolder(tag);
  if (width > 0 && !listing) {
    x = std::make_unique<Xvfb>(width, height);
    if (!x->up()) {
      std::fprintf(stderr, "cannot start Xvfb (Debian package xvfb)\n");
      return 1;
    }
    setenv("DISPLAY", x->display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (windowManager) {
      wm = std::make_unique<WindowManager>(*x);
      if (!wm->up()) {
        std::fprintf(stderr, "cannot start openbox (Debian packages openbox and x11-utils):\n%s\n",
                     slurp(wm->log()).c_str());
        return 1;
      }
    }
  } else {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  // Qt warns on every start without one; mkdtemp made the folder private.
  setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
  std::filesystem::create_symlink(A320_TEST_DATA_DIR, scratch + "/Data");
  if (program)
    writeFile(scratch + "/" + program + ".cfg",
              "[SYSTEM]\nVERSION=v1.1\nPORT=" + std::to_string(freeUdpPort()) + "\n");
  if (chdir(scratch.c_str()) != 0) return 1;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  // Out of the folder before it goes: libraries that look at the working
  // directory later (fontconfig at exit) must not find it deleted.
  if (chdir("/") != 0) return 1;
  std::filesystem::remove_all(scratch);
  return rc;
}

}  // namespace testing_support
