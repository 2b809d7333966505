// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of every test program: the offscreen platform for window tests and the
// folder of the built program, unless the caller set them, and no machine-wide
// configuration, so that an installed copy of the program cannot change what tests see.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("ALARM_BIN_DIR", ALARM_BIN_DIR, 0);
  ::setenv("XDG_CONFIG_DIRS", ALARM_BIN_DIR "/../no-system-configuration", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
