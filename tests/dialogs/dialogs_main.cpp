// The dialog tests run on Qt's offscreen platform.
#include "support/qt_test_main.h"

int main(int argc, char** argv) { return testing_support::runQtTests(argc, argv, "dialogs", 0, 0, nullptr); }
