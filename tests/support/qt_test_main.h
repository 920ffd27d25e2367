#pragma once

namespace testing_support {
// Runs the Qt tests in a scratch folder that is both working directory and
// per-user configuration folder, with Data linked in. width 0 runs them on
// Qt's offscreen platform, anything else on a virtual X server of that size
// (listing the tests never needs one). A non-null program gets a settings
// file of its own, on a free port so that runs side by side do not clash.
// windowManager runs openbox on the virtual X server as well.
int runQtTests(int argc, char** argv, const char* tag, int width, int height, const char* program,
               bool windowManager = false);
}  // namespace testing_support
