// SPDX-License-Identifier: GPL-3.0-or-later
// The Registry module's read rules, path checks and the log-on entry, on a real store in a
// private folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/fake_services.h"
#include "platform/registry.h"
#include "platform/store.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    store = std::make_unique<platform::FileStore>(dir.path().toStdString());
    platform::setDefaultStore(store.get());
    Registry::setProgramPath("/opt/alarm/bin/Alarm");
  }
  void TearDown() override { platform::setDefaultStore(nullptr); }

  QString key() const { return Registry::settingsKey(); }
  void store_(const QString& name, const QString& text) {
    Registry::CreateRegistryKey(key());
    Registry::WriteRegistryValue(key(), name, text);
  }

  QTemporaryDir dir;
  std::unique_ptr<platform::FileStore> store;
  platform::FakeServices fakes;
};

TEST_F(RegistryTest, SettingsKeyFollowsTheProgramFileName) {
  EXPECT_EQ(key(), "HKEY_CURRENT_USER\\Software\\Orvanta\\Alarm");
  Registry::CreateRegistryKey(key());
  EXPECT_TRUE(QFile::exists(dir.path() + "/Orvanta/Alarm.conf"));

  Registry::setProgramPath("/opt/alarm/bin/Clock");
  EXPECT_EQ(key(), "HKEY_CURRENT_USER\\Software\\Orvanta\\Clock");
  Registry::CreateRegistryKey(key());
  EXPECT_TRUE(QFile::exists(dir.path() + "/Orvanta/Clock.conf"));
  // A copy of another name starts from defaults.
  EXPECT_EQ(Registry::readSetting("HH"), "Error");
}

// Only the settings key's name comes from the name the program was started under: its files
// lie beside the running program, and the log-on entry starts a file that runs this program.
TEST_F(RegistryTest, StartNameGivesTheKeyAndTheRunningProgramItsFiles) {
  const QString exe = QFileInfo("/proc/self/exe").canonicalFilePath();
  Registry::setStartName("Alarm.exe");  // a bare name the PATH does not know
  EXPECT_EQ(key(), "HKEY_CURRENT_USER\\Software\\Orvanta\\Alarm");
  EXPECT_EQ(Registry::programPath(), exe);
  EXPECT_EQ(Registry::programFolder(), QFileInfo(exe).absolutePath());

  // A link of another name to this program: its own key, and the entry starts it by that name.
  const QString link = dir.path() + "/Clock.exe";
  ASSERT_TRUE(QFile::link(exe, link));
  Registry::setStartName(link);
  EXPECT_EQ(key(), "HKEY_CURRENT_USER\\Software\\Orvanta\\Clock");
  EXPECT_EQ(Registry::programPath(), link);
  EXPECT_EQ(Registry::programFolder(), QFileInfo(exe).absolutePath());
  SetRunEntry(true);
  EXPECT_EQ(store->readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm").value_or(""), link.toStdString());

  // A program file named Alarm.exe keeps the key Alarm and is started by its full name.
  Registry::setProgramPath("/opt/alarm/bin/Alarm.exe");
  EXPECT_EQ(key(), "HKEY_CURRENT_USER\\Software\\Orvanta\\Alarm");
  SetRunEntry(true);
  EXPECT_EQ(store->readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm").value_or(""),
            "/opt/alarm/bin/Alarm.exe");
}

TEST_F(RegistryTest, ReadRulesOfTheBuffer) {
  store_("Blanks", "  ab ");
  EXPECT_EQ(Registry::readSetting("Blanks"), "ab ");  // leading blanks lost, trailing kept

  store_("Empty", "");
  EXPECT_EQ(Registry::readSetting("Empty"), "");

  const QString t254(254, 'x');
  store_("L254", t254);
  EXPECT_EQ(Registry::readSetting("L254"), t254);

  const QString t255 = QString(254, 'y') + "z";
  store_("L255", t255);
  EXPECT_EQ(Registry::readSetting("L255"), QString(254, 'y'));

  store_("L256", QString(256, 'w'));
  EXPECT_EQ(Registry::readSetting("L256"), "Error");
  store_("Huge", QString(10000, 'w'));
  EXPECT_EQ(Registry::readSetting("Huge"), "Error");

  // The limit counts characters, not bytes.
  const QString accented(254, QChar(0x00E9));
  store_("Accents", accented);
  EXPECT_EQ(Registry::readSetting("Accents"), accented);

  EXPECT_EQ(Registry::readSetting("Missing"), "Error");
  EXPECT_TRUE(fakes.messageBox.boxes.empty());
}

TEST_F(RegistryTest, MissingKeysAndUnknownRoots) {
  EXPECT_EQ(Registry::ReadRegistryValue("HKEY_CURRENT_USER\\Software\\Orvanta\\Nothing", "HH"), "Error");
  Registry::WriteRegistryValue("HKEY_CURRENT_USER\\Software\\Orvanta\\Nothing", "HH", "07");
  EXPECT_FALSE(QFile::exists(dir.path() + "/Orvanta/Nothing.conf"));  // writes only into existing keys

  EXPECT_EQ(Registry::ReadRegistryValue("HKEY_NOWHERE\\Software\\Orvanta\\Alarm", "HH"), "");
  EXPECT_TRUE(fakes.messageBox.boxes.empty());

  QString rootOnly = "HKEY_CURRENT_USER";
  uint32_t root = 0;
  EXPECT_TRUE(Registry::SplitKeyPath(rootOnly, root));
  EXPECT_EQ(root, platform::kHkeyCurrentUser);
  EXPECT_EQ(rootOnly, "");
}

TEST_F(RegistryTest, MalformedPathsAreRefusedWithTheFormatMessage) {
  for (const QString& bad : {QString("hkey_current_user\\Software\\Orvanta\\Alarm"),
                             QString("HKEY_CURRENT_USER\\Software\\Orvanta\\Alarm\\")}) {
    fakes.messageBox.boxes.clear();
    EXPECT_EQ(Registry::ReadRegistryValue(bad, "HH"), "");
    ASSERT_EQ(fakes.messageBox.boxes.size(), 1u);
    EXPECT_EQ(fakes.messageBox.boxes[0].prompt, "Incorrect Format:\n\n" + bad);
    EXPECT_EQ(fakes.messageBox.boxes[0].title, "Alarm");
    EXPECT_EQ(fakes.messageBox.boxes[0].flags, 0);
  }
  Registry::WriteRegistryValue("hkey_current_user\\Software\\Orvanta\\Alarm", "HH", "07");
  EXPECT_EQ(Registry::readSetting("HH"), "Error");
}

TEST_F(RegistryTest, RunEntryIsAnAutostartFileStartingThisProgram) {
  Registry::setProgramPath("/opt/my alarm/Alarm");
  SetRunEntry(true);
  QFile f(dir.path() + "/autostart/Alarm.desktop");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(f.readAll());
  EXPECT_TRUE(text.contains("Exec=\"/opt/my alarm/Alarm\"\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("Type=Application"));
  EXPECT_EQ(store->readValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm").value_or(""),
            "/opt/my alarm/Alarm");
  SetRunEntry(false);
  EXPECT_FALSE(QFile::exists(f.fileName()));
  EXPECT_FALSE(DeleteRegistryValue(platform::kHkeyCurrentUser, platform::kRunSubKey, "Alarm"));
}

TEST_F(RegistryTest, SetAndDeleteReportSuccess) {
  Registry::CreateRegistryKey(key());
  const QString sub = "Software\\Orvanta\\Alarm";
  EXPECT_TRUE(SetRegistryValue(platform::kHkeyCurrentUser, sub, "Message", "Wake up"));
  EXPECT_EQ(Registry::readSetting("Message"), "Wake up");
  EXPECT_TRUE(DeleteRegistryValue(platform::kHkeyCurrentUser, sub, "Message"));
  EXPECT_FALSE(DeleteRegistryValue(platform::kHkeyCurrentUser, sub, "Message"));
  EXPECT_FALSE(SetRegistryValue(platform::kHkeyCurrentUser, "Software\\Orvanta\\Absent", "Message", "x"));
}

}  // namespace
