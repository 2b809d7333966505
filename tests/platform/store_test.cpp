// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store on real files: layout, round trips of awkward values, damaged files,
// and the QSettings-readable format.
#include <gtest/gtest.h>

#include <QSettings>
#include <QString>
#include <filesystem>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/store.h"

namespace fs = std::filesystem;
using platform::FileStore;
using platform::kHkeyCurrentUser;

namespace {

constexpr const char* kKey = "Software\\Orvanta\\Alarm";

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("alarm-store-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home);
    fs::create_directories(home);
    store = std::make_unique<FileStore>(home);
  }
  void TearDown() override { fs::remove_all(home); }
  fs::path file() const { return home / "Orvanta" / "Alarm.conf"; }
  std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void spit(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }

  fs::path home;
  std::unique_ptr<FileStore> store;
};

TEST_F(StoreTest, KeysMapToFilesAndWritesNeedAnExistingKey) {
  EXPECT_FALSE(store->keyExists(kHkeyCurrentUser, kKey));
  EXPECT_FALSE(store->writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  EXPECT_TRUE(fs::exists(file()));
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "NN"), std::nullopt);
  // Creating the key again keeps its values.
  EXPECT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  // Sub keys are sections of the same file.
  EXPECT_FALSE(store->writeValue(kHkeyCurrentUser, "Software\\Orvanta\\Alarm\\Sub", "A", "1"));
  EXPECT_TRUE(store->createKey(kHkeyCurrentUser, "Software\\Orvanta\\Alarm\\Sub"));
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, "Software\\Orvanta\\Alarm\\Sub", "A", "1"));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  // Only the current user's keys exist here, and no key may climb out of the folder.
  EXPECT_FALSE(store->createKey(platform::kHkeyLocalMachine, kKey));
  EXPECT_FALSE(store->createKey(kHkeyCurrentUser, "Software\\..\\..\\etc"));
  EXPECT_FALSE(store->createKey(kHkeyCurrentUser, "Software\\a/b\\c"));
  // An armed alarm's values go in together, in one replacement of the file, so an end in
  // between cannot leave some of them old and some new. (Both halves of a rename are
  // watched: the kernel folds like events that follow each other into one.)
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, file().parent_path().c_str(), IN_MOVED_FROM | IN_MOVED_TO), 0);
  EXPECT_TRUE(store->writeValues(kHkeyCurrentUser, kKey, {{"HH", "08"}, {"NN", "15"}, {"SS", "30"}}));
  alignas(inotify_event) char events[4096];
  const ssize_t got = ::read(watch, events, sizeof events);
  ::close(watch);
  int replacements = 0;
  for (ssize_t at = 0; at < got;) {
    const auto* e = reinterpret_cast<const inotify_event*>(events + at);
    replacements += (e->mask & IN_MOVED_TO) != 0;
    at += ssize_t(sizeof(inotify_event) + e->len);
  }
  EXPECT_EQ(replacements, 1);
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "08");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "SS"), "30");
}

// The configuration folder as users set it: with a trailing slash, not made yet (several
// levels deep), or blocked by a file where a folder belongs.
TEST_F(StoreTest, FoldersAreMadeAsNeededAndAFileInTheWayIsRefused) {
  FileStore slash((home / "deep" / "config").string() + "/");
  EXPECT_TRUE(slash.createKey(kHkeyCurrentUser, kKey));
  EXPECT_TRUE(slash.writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  EXPECT_TRUE(fs::is_regular_file(home / "deep" / "config" / "Orvanta" / "Alarm.conf"));
  EXPECT_EQ(FileStore((home / "deep" / "config").string()).readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  EXPECT_TRUE(slash.keyExists(kHkeyCurrentUser, "Software\\Orvanta"));
  EXPECT_TRUE(slash.createKey(kHkeyCurrentUser, "Software\\Elsewhere"));
  EXPECT_TRUE(fs::is_directory(home / "deep" / "config" / "Elsewhere"));

  spit(home / "blocked" / "Orvanta", "a file, not a folder");
  FileStore blocked((home / "blocked").string());
  EXPECT_FALSE(blocked.createKey(kHkeyCurrentUser, kKey));
  EXPECT_FALSE(blocked.writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  EXPECT_EQ(slurp(home / "blocked" / "Orvanta"), "a file, not a folder");
}

// Settings kept in a folder of dotfiles: the link stays, and the file it points to (relative,
// through a second link, or not made yet) receives the values.
TEST_F(StoreTest, AFileThatIsALinkIsWrittenWhereItPoints) {
  spit(home / "dotfiles" / "Alarm.conf", "[General]\nHH=\"07\"\n");
  fs::create_directories(file().parent_path());
  fs::create_symlink("../dotfiles/Alarm.conf", home / "dotfiles" / "second");
  fs::create_symlink("../dotfiles/second", file());
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "NN", "30"));
  EXPECT_EQ(slurp(home / "dotfiles" / "Alarm.conf"), "[General]\nHH=\"07\"\nNN=\"30\"\n");
  fs::remove(home / "dotfiles" / "Alarm.conf");
  EXPECT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  EXPECT_TRUE(fs::is_regular_file(home / "dotfiles" / "Alarm.conf"));
  EXPECT_TRUE(fs::is_symlink(file()));
  EXPECT_TRUE(fs::is_symlink(home / "dotfiles" / "second"));
}

// A file is parsed once and kept while it is the same file with the same time and size; an
// edit in place (a new time) and a replacement (a new file) by anyone else are read again.
TEST_F(StoreTest, AFileIsParsedOnceAndReadAgainWhenItChanges) {
  spit(file(), "[General]\nHH=07\n");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  struct stat was {};
  ASSERT_EQ(::stat(file().c_str(), &was), 0);
  const auto edit = [&](const fs::path& p, const char* hours, bool keepTime) {
    std::fstream(p, std::ios::in | std::ios::out).seekp(14) << hours;
    const timespec times[2] = {was.st_atim, was.st_mtim};
    if (keepTime) {
      ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
    }
  };
  edit(file(), "8", true);
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07") << "the same file is not parsed again";
  edit(file(), "8", false);
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "08");
  ASSERT_EQ(::stat(file().c_str(), &was), 0);
  fs::copy_file(file(), home / "new");
  edit(home / "new", "9", true);
  fs::rename(home / "new", file());
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "09");
}

// Links planted as the lock or as a temporary file: nothing is written through them.
TEST_F(StoreTest, ALinkPlantedAsTheLockOrATemporaryFileIsNotFollowed) {
  ASSERT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  fs::remove(home / "Orvanta" / ".Alarm.conf.lock");
  fs::create_symlink(home / "victim", home / "Orvanta" / ".Alarm.conf.lock");
  EXPECT_FALSE(store->writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  fs::create_directories(home / "autostart");
  fs::create_symlink(home / "victim", home / "autostart" / (".Alarm.desktop.tmp." + std::to_string(::getpid())));
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm", "/usr/bin/alarm"));
  EXPECT_FALSE(fs::exists(home / "victim"));
}

TEST_F(StoreTest, AwkwardValuesRoundTripExactly) {
  ASSERT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  const std::vector<std::string> values = {
      "a=b",  "x;y",  "#hash", "\"quoted\"", "back\\slash", "C:\\Music\\wake up.mp3", "Grüße, ça va? 日本",
      "  lead and trail  ", "", "@at", "@@two", "tab\there", "line\nfeed", "ends with \\", std::string(254, 'k'),
      "comma, separated, list"};
  for (std::size_t i = 0; i < values.size(); ++i)
    ASSERT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "V" + std::to_string(i), values[i]));
  FileStore fresh(home);
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(fresh.readValue(kHkeyCurrentUser, kKey, "V" + std::to_string(i)), values[i]) << i;

  // QSettings reads the same texts.
  QSettings qs(QString::fromStdString(file().string()), QSettings::IniFormat);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i].find(',') != std::string::npos || values[i].empty()) continue;  // lists and empties differ in type
    EXPECT_EQ(qs.value(QString::fromStdString("V" + std::to_string(i))).toString().toStdString(), values[i]) << i;
  }
}

TEST_F(StoreTest, ReadsWhatQSettingsWrites) {
  ASSERT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  {
    QSettings qs(QString::fromStdString(file().string()), QSettings::IniFormat);
    qs.setValue("Message", "Wake up; it's = 7 \"now\"");
    qs.setValue("Font", "MS Sans Serif");
    qs.setValue("Top", "1234.5");
  }
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "Message"), "Wake up; it's = 7 \"now\"");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "Font"), "MS Sans Serif");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "Top"), "1234.5");
}

// A file edited by hand: Windows line ends, no newline at the end, a line in another
// encoding, a quote left open, a stray word, a section header cut short. What can be read
// counts; the rest is skipped, and written back untouched at the next save.
TEST_F(StoreTest, HandEditedFilesKeepEveryLineTheyCanRead) {
  spit(file(), "[General]\r\nHH=\"07\"\r\nNN=30\r\nSS=\"05\"");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "NN"), "30");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "SS"), "05");
  // Blanks around "=" are the editor's, not the value's; inside quotes they stay.
  spit(file(), "[General]\nNN = 30\nSS =  \" 5 \" \n");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "NN"), "30");
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "SS"), " 5 ");

  const std::vector<std::string> unreadable = {"Font=\"Caf\xe9\"", "Message=\"Wake up", "just some words",
                                               std::string("\0\0\0\x01", 4), "[Broken", "SS=\"09\""};
  std::string text = "; my alarm\n[General]\nHH=\"07\"\n";
  for (const auto& line : unreadable) text += line + "\n";
  text += "[Sub]\nA=\"1\"";
  spit(file(), text);
  const auto readable = [&] {
    EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
    EXPECT_EQ(store->readValue(kHkeyCurrentUser, "Software\\Orvanta\\Alarm\\Sub", "A"), "1");
    for (const char* name : {"Font", "Message", "SS"}) EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, name), std::nullopt) << name;
  };
  readable();
  ASSERT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "NN", "30"));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "NN"), "30");
  readable();
  const std::string saved = slurp(file());
  for (const auto& line : unreadable) EXPECT_NE(saved.find("\n" + line + "\n"), std::string::npos) << line;
  EXPECT_NE(saved.find("; my alarm\n"), std::string::npos);
  for (const auto& e : fs::directory_iterator(file().parent_path()))
    EXPECT_EQ(e.path().filename().string().find("damaged"), std::string::npos) << "nothing is put aside";
  // Saved again, the file stays the same: the kept lines neither move nor multiply.
  ASSERT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "NN", "30"));
  EXPECT_EQ(slurp(file()), saved);
}

TEST_F(StoreTest, FilesOfWhichNothingCanBeReadAreKeptAside) {
  const std::vector<std::string> damaged = {
      std::string(64, '\0'),     // zeros where the text was, as after a crash
      "\xff\xfe garbage \x80\n",  // not UTF-8
      "just some words\n",       // no key=value
      "HH=\"07\n",                // an open quote
  };
  for (const auto& text : damaged) {
    spit(file(), text);
    EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), std::nullopt);
    EXPECT_TRUE(store->keyExists(kHkeyCurrentUser, kKey));
    EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "SS", "09"));
    EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "SS"), "09");
    EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), std::nullopt);
    EXPECT_EQ(slurp(file()).find(text), std::string::npos) << "the new file starts afresh";
    // The damaged text survives beside the new file.
    bool kept = false;
    for (const auto& e : fs::directory_iterator(file().parent_path()))
      if (e.path().filename().string().rfind("Alarm.conf.damaged-", 0) == 0 && slurp(e.path()) == text) kept = true;
    EXPECT_TRUE(kept);
  }
  // Random bytes never crash the reader.
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    std::string junk(static_cast<std::size_t>(rng() % 300), '\0');
    for (auto& c : junk) c = static_cast<char>(rng());
    spit(file(), junk);
    (void)store->readValue(kHkeyCurrentUser, kKey, "HH");
  }
}

TEST_F(StoreTest, EmptyFileIsAKeyWithoutValues) {
  spit(file(), "");
  EXPECT_TRUE(store->keyExists(kHkeyCurrentUser, kKey));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), std::nullopt);
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "HH", "07"));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "HH"), "07");
}

TEST_F(StoreTest, DeleteValue) {
  ASSERT_TRUE(store->createKey(kHkeyCurrentUser, kKey));
  ASSERT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "A", "1"));
  ASSERT_TRUE(store->writeValue(kHkeyCurrentUser, kKey, "B", "2"));
  EXPECT_TRUE(store->deleteValue(kHkeyCurrentUser, kKey, "A"));
  EXPECT_FALSE(store->deleteValue(kHkeyCurrentUser, kKey, "A"));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "A"), std::nullopt);
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, kKey, "B"), "2");
}

TEST_F(StoreTest, AutostartEntries) {
  const std::string path = "/home/me/My Apps/Alarm";
  EXPECT_TRUE(store->keyExists(kHkeyCurrentUser, platform::kRunSubKey));
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm", path));
  const std::string desktop = slurp(home / "autostart" / "Alarm.desktop");
  EXPECT_NE(desktop.find("[Desktop Entry]\n"), std::string::npos);
  EXPECT_NE(desktop.find("Exec=\"/home/me/My Apps/Alarm\"\n"), std::string::npos) << desktop;
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm"), path);
  // Characters the Exec field treats specially survive the round trip.
  const std::string odd = "/tmp/a$b\"c\\d%e/Alarm";
  EXPECT_TRUE(store->writeValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm", odd));
  EXPECT_EQ(store->readValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm"), odd);
  EXPECT_TRUE(store->deleteValue(kHkeyCurrentUser, platform::kRunSubKey, "Alarm"));
  EXPECT_FALSE(fs::exists(home / "autostart" / "Alarm.desktop"));
  EXPECT_FALSE(store->writeValue(kHkeyCurrentUser, platform::kRunSubKey, "../evil", path));
}

}  // namespace
