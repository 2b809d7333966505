// SPDX-License-Identifier: GPL-3.0-or-later
// The store and the single-instance rule with real processes: two writers at once, a
// writer killed mid-write, a folder the user may not write, a copy that was killed, and
// the fallback folders in /tmp that another user could have made first.
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/log.h"
#include "platform/single_instance.h"
#include "platform/store.h"

namespace fs = std::filesystem;
using platform::FileStore;
using platform::kHkeyCurrentUser;

namespace {

constexpr const char* kKey = "Software\\Orvanta\\Alarm";

fs::path freshHome(const std::string& tag) {
  fs::path home = fs::temp_directory_path() / ("alarm-proc-" + std::to_string(::getpid()) + "-" + tag);
  fs::remove_all(home);
  fs::create_directories(home);
  return home;
}

int waitExit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(StoreProcesses, TwoWritersAtOnceLoseNothing) {
  const fs::path home = freshHome("writers");
  FileStore(home).createKey(kHkeyCurrentUser, kKey);
  constexpr int kEach = 60;
  std::vector<pid_t> children;
  for (int w = 0; w < 2; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      FileStore store(home);
      bool ok = true;
      for (int i = 0; i < kEach; ++i)
        ok = store.writeValue(kHkeyCurrentUser, kKey, "W" + std::to_string(w) + "_" + std::to_string(i), std::to_string(i)) && ok;
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) EXPECT_EQ(waitExit(pid), 0);
  FileStore store(home);
  for (int w = 0; w < 2; ++w)
    for (int i = 0; i < kEach; ++i)
      EXPECT_EQ(store.readValue(kHkeyCurrentUser, kKey, "W" + std::to_string(w) + "_" + std::to_string(i)), std::to_string(i));
  fs::remove_all(home);
}

TEST(StoreProcesses, AWriterKilledMidWriteNeverLeavesATornFile) {
  const fs::path home = freshHome("killed");
  {
    FileStore store(home);
    store.createKey(kHkeyCurrentUser, kKey);
    store.writeValue(kHkeyCurrentUser, kKey, "Keep", "me");
  }
  const fs::path file = home / "Orvanta" / "Alarm.conf";
  for (int round = 0; round < 25; ++round) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      FileStore store(home);
      for (int i = 0;; ++i)
        store.writeValue(kHkeyCurrentUser, kKey, "Big", std::string(20000 + (i % 7) * 1000, static_cast<char>('a' + i % 26)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + round % 11));
    ::kill(pid, SIGKILL);
    waitExit(pid);
    FileStore store(home);
    ASSERT_EQ(store.readValue(kHkeyCurrentUser, kKey, "Keep"), "me") << "round " << round;
    const auto big = store.readValue(kHkeyCurrentUser, kKey, "Big");
    if (big) {
      ASSERT_FALSE(big->empty());
      EXPECT_EQ(big->find_first_not_of(big->front()), std::string::npos);  // never a mixture
    }
    ASSERT_GT(fs::file_size(file), 0u);
  }
  // Leftover temporaries of killed writers are cleaned up by the next write.
  FileStore(home).writeValue(kHkeyCurrentUser, kKey, "After", "1");
  for (const auto& e : fs::directory_iterator(file.parent_path()))
    EXPECT_EQ(e.path().filename().string().find(".tmp."), std::string::npos) << e.path();
  fs::remove_all(home);
}

TEST(StoreProcesses, AFolderWithoutWritePermissionFailsSilently) {
  const fs::path home = freshHome("readonly");
  FileStore(home).createKey(kHkeyCurrentUser, kKey);
  FileStore(home).writeValue(kHkeyCurrentUser, kKey, "HH", "07");
  fs::permissions(home / "Orvanta", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(home / "Orvanta" / "Alarm.conf", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(home, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // root may write anywhere: run the writer as an ordinary user.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    FileStore store(home);
    const bool wrote = store.writeValue(kHkeyCurrentUser, kKey, "HH", "08");
    const auto read = store.readValue(kHkeyCurrentUser, kKey, "HH");
    ::_exit(!wrote && read == "07" ? 0 : 1);
  }
  EXPECT_EQ(waitExit(pid), 0);
  EXPECT_EQ(FileStore(home).readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  fs::permissions(home / "Orvanta", fs::perms::owner_all);
  fs::remove_all(home);
}

// A registration file of mode 000 holding another class's entry: it is never replaced, and
// the user is told why its settings are not read.
TEST(StoreProcesses, AFileThatCannotBeOpenedIsNeverReplaced) {
  const fs::path home = freshHome("unopened"), file = home / "Orvanta" / "Alarm.conf";
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "[General]\nOther=\"kept\"\n";
  fs::permissions(file, fs::perms::none);
  for (const auto& p : {home, file.parent_path()}) ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);  // root reads any file
    std::string told;
    platform::setStoreTroubleHandler([&](platform::StoreTrouble t, const std::string& f, const std::string&) {
      if (t == platform::StoreTrouble::Unreadable) told = f;
    });
    FileStore(home).createKey(kHkeyCurrentUser, "Software\\Orvanta\\Alarm\\Sub");
    ::_exit(told == file.string() ? 0 : 1);
  }
  EXPECT_EQ(waitExit(pid), 0);
  fs::permissions(file, fs::perms::owner_read);
  EXPECT_EQ(FileStore(home).readValue(kHkeyCurrentUser, kKey, "Other"), "kept");
  fs::remove_all(home);
}

TEST(SingleInstance, OneCopyPerUserAndProgramNameAndKilledCopiesDoNotBlock) {
  const fs::path runtime = freshHome("runtime");
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    platform::LockFileInstanceGuard first("Alarm");
    const char c = first.acquire() ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  {
    platform::LockFileInstanceGuard second("Alarm");
    EXPECT_FALSE(second.acquire());
    platform::LockFileInstanceGuard clock("Clock");
    EXPECT_TRUE(clock.acquire());  // another program file name is another program
  }
  ::kill(pid, SIGKILL);
  waitExit(pid);
  platform::LockFileInstanceGuard after("Alarm");
  EXPECT_TRUE(after.acquire());
  ::close(ready[0]);
  ::close(ready[1]);

  // A lock that fails for another reason than being held (ENOLCK, as on a network folder)
  // does not keep the user's alarm clock from starting.
  const pid_t failing = ::fork();
  if (failing == 0) {
    sock_filter filter[] = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_flock, 0, 1),
                            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOLCK), BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      ::_exit(3);
    platform::LockFileInstanceGuard unlockable("Other");
    ::_exit(unlockable.acquire() ? 0 : 1);
  }
  EXPECT_EQ(waitExit(failing), 0);

  // A runtime folder others may write into is not trusted with the lock.
  fs::permissions(runtime, fs::perms::all);
  EXPECT_NE(fs::path(after.lockPath()).parent_path(), runtime);
  ::unsetenv("XDG_RUNTIME_DIR");
  fs::remove_all(runtime);
}

// The --log file records alarm times and commands: made private, never through a link.
TEST(LogFile, IsMadePrivateAndALinkInItsPlaceIsRefused) {
  const fs::path dir = freshHome("log"), log = dir / "alarm.log", victim = dir / "victim";
  platform::setLogFile(log.string());
  EXPECT_EQ(fs::status(log).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  fs::remove(log);
  fs::create_symlink(victim, log);
  platform::setLogFile(log.string());
  platform::logEvent("armed");
  platform::setLogFile("");
  EXPECT_FALSE(fs::exists(victim));
  fs::remove_all(dir);
}

// Without XDG_RUNTIME_DIR and HOME the lock and the settings live in /tmp/orvanta-<uid> and
// /tmp/.config-<uid>. Run as a user of our own choosing, so these are folders nobody else uses.
TEST(PrivateFallbackFolders, AreMadePrivateAndRefusedWhenAnotherUserCouldReachThem) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  const uid_t me = 40000 + static_cast<uid_t>(::getpid() % 20000), other = me + 1;
  const fs::path runtime = "/tmp/orvanta-" + std::to_string(me), config = "/tmp/.config-" + std::to_string(me);
  const auto clear = [&] {
    fs::remove_all(runtime);
    fs::remove_all(config);
  };
  // Runs the body as that user with neither variable set: 0 when it returned true.
  const auto asUser = [&](auto body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::unsetenv("XDG_RUNTIME_DIR");
      ::unsetenv("XDG_CONFIG_HOME");
      ::unsetenv("HOME");
      if (::setgid(me) != 0 || ::setuid(me) != 0) ::_exit(3);
      ::_exit(body() ? 0 : 1);
    }
    return waitExit(pid);
  };
  const auto lockHeldAndSettingsSaved = [] {
    platform::LockFileInstanceGuard first("Alarm"), second("Alarm");
    FileStore store;
    return first.acquire() && !second.acquire() && store.createKey(kHkeyCurrentUser, kKey) &&
           store.writeValue(kHkeyCurrentUser, kKey, "HH", "07");
  };
  // Refused folders: no lock (both copies start) and nothing saved, rather than no alarm
  // clock; the user is told once where the settings could not go.
  const auto runsWithoutLockOrSettings = [&] {
    platform::LockFileInstanceGuard first("Alarm"), second("Alarm");
    std::vector<std::string> told;
    platform::setStoreTroubleHandler([&](platform::StoreTrouble, const std::string& f, const std::string&) { told.push_back(f); });
    FileStore store;
    return first.acquire() && second.acquire() && first.lockPath().empty() &&
           !store.createKey(kHkeyCurrentUser, kKey) && !store.writeValue(kHkeyCurrentUser, kKey, "HH", "07") &&
           told == std::vector<std::string>{config.string()};
  };
  const auto makeFolders = [&](uid_t owner, fs::perms mode) {
    for (const auto& dir : {runtime, config}) {
      fs::create_directory(dir);
      ASSERT_EQ(::chown(dir.c_str(), owner, owner), 0);
      fs::permissions(dir, mode);
    }
  };

  clear();
  EXPECT_EQ(asUser(lockHeldAndSettingsSaved), 0);
  for (const auto& dir : {runtime, config}) {
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0) << dir;
    EXPECT_EQ(st.st_uid, me) << dir;
    EXPECT_EQ(st.st_mode & 07777, 0700u) << dir;
  }
  EXPECT_EQ(FileStore(config).readValue(kHkeyCurrentUser, kKey, "HH"), "07");
  EXPECT_EQ(asUser(lockHeldAndSettingsSaved), 0) << "the user's own private folders are used again";

  clear();
  makeFolders(other, fs::perms::owner_all);
  EXPECT_EQ(asUser(runsWithoutLockOrSettings), 0) << "folders of another user";
  EXPECT_TRUE(fs::is_empty(runtime));
  EXPECT_TRUE(fs::is_empty(config));

  clear();
  makeFolders(me, fs::perms::all);
  EXPECT_EQ(asUser(runsWithoutLockOrSettings), 0) << "folders others may write into";

  clear();
  const fs::path elsewhere = freshHome("elsewhere");
  ASSERT_EQ(::chown(elsewhere.c_str(), me, me), 0);
  fs::create_directory_symlink(elsewhere, runtime);
  fs::create_directory_symlink(elsewhere, config);
  EXPECT_EQ(asUser(runsWithoutLockOrSettings), 0) << "links to a folder elsewhere";
  clear();
  fs::remove_all(elsewhere);
}

}  // namespace
