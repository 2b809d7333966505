// SPDX-License-Identifier: GPL-3.0-or-later
// The start order without a real desktop: the single-instance message, the tray tip and
// the system name.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/frmMain.h"
#include "platform/fake_services.h"
#include "platform/single_instance.h"
#include "platform/store.h"
#include "platform/winversion.h"
#include "program/startup.h"
#include "window_fixture.h"

namespace {

TEST(StartUp, ASecondCopyOnlyShowsTheMessage) {
  testsupport::startApplication(false);
  platform::FakeServices fakes;
  platform::MemoryStore store;
  platform::setDefaultStore(&store);
  platform::FakeInstanceGuard guard;
  guard.otherCopyRunning = true;
  EXPECT_EQ(startup::Main(guard), nullptr);
  ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
  EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Alarm is already running.");
  EXPECT_EQ(fakes.messageBox.boxes[0].title, "Alarm");
  EXPECT_EQ(fakes.messageBox.boxes[0].flags, 64);
  EXPECT_TRUE(store.keys.empty()) << "no setting may be touched";
  EXPECT_FALSE(fakes.tray.isShown);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
  platform::setDefaultStore(nullptr);
}

TEST(StartUp, TrayTipHoldsTitleAndVersionCutTo64Characters) {
  EXPECT_EQ(trayTip("Alarm 2.0.7"), "Alarm 2.0.7");
  EXPECT_EQ(trayTip(QString(70, 'x')), QString(64, 'x'));
}

TEST(StartUp, SystemNameOffWindowsIsUnknown) { EXPECT_EQ(GetWindowsVersion(), "Unknown"); }

}  // namespace
