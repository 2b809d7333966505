// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of every test program: the offscreen platform for window tests and the
// folder of the built program, unless the caller set them, and no machine-wide
// configuration, so that an installed copy of the program cannot change what tests see.
// A test program that links the real services starts with them as the program does.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef ALARM_TEST_DESKTOP_SERVICES
#include "platform/services_qt.h"
#endif

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("ALARM_BIN_DIR", ALARM_BIN_DIR, 0);
  ::setenv("XDG_CONFIG_DIRS", ALARM_BIN_DIR "/../no-system-configuration", 1);
#ifdef ALARM_TEST_DESKTOP_SERVICES
  platform::useDesktopServices();  // as the program does, where a test installs no fakes
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
