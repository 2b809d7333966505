// SPDX-License-Identifier: GPL-3.0-or-later
// Which registration creates a component: the user's own first, then the machine-wide ones
// of $XDG_CONFIG_DIRS, with the real display control registered by the real regsvr.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "../lumicell/private_config.h"
#include "platform/errors.h"
#include "platform/host/component_registry.h"
#include "platform/log.h"
#include "platform/store.h"

namespace {

namespace fs = std::filesystem;
using namespace lumicell_test;

constexpr const char* kProgId = "Kestrava.Lumicell";

// 0 when an instance is created, else the runtime error raised.
int creationError() {
  try {
    platform::ComPtr<platform::com::IUnknown> object(
        static_cast<platform::com::IUnknown*>(platform::createObject(kProgId, platform::com::kIidUnknown)));
    return object ? 0 : -1;
  } catch (const platform::RuntimeError& e) {
    return e.number();
  }
}

// Points the library path of a registration in the configuration folder dir elsewhere.
void setRegisteredPath(const fs::path& dir, const std::string& path) {
  platform::FileStore store(dir.string());
  const auto clsid = store.readValue(platform::kHkeyCurrentUser, platform::progIdKey(kProgId), "CLSID");
  ASSERT_TRUE(clsid);
  ASSERT_TRUE(store.writeValue(platform::kHkeyCurrentUser, platform::inprocServerKey(*platform::com::parseGuid(*clsid)),
                               "Path", path));
}

class ComponentRegistryOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(privateConfig().dir().empty());
    ::setenv("XDG_CONFIG_DIRS", ("relative/xdg::" + first.string() + ":" + second.string()).c_str(), 1);
  }
  // regsvr for all users, with the machine-wide folder set to dir.
  static int regsvrSystem(const fs::path& dir, const std::string& args) {
    return run("XDG_CONFIG_DIRS=" + quoted(dir.string()) + " " + quoted((binDir() / "regsvr").string()) +
               " --system " + args);
  }
  const fs::path user = privateConfig().dir();
  const fs::path first = privateConfig().dir() / "system one";
  const fs::path second = privateConfig().dir() / "system two";
};

TEST_F(ComponentRegistryOrder, SystemFoldersComeFromTheEnvironment) {
  EXPECT_EQ(platform::systemConfigDirs(), (std::vector<std::string>{first.string(), second.string()}));
  ::setenv("XDG_CONFIG_DIRS", "", 1);
  EXPECT_EQ(platform::systemConfigDirs(), std::vector<std::string>{"/etc/xdg"});
  ::unsetenv("XDG_CONFIG_DIRS");
  EXPECT_EQ(platform::systemConfigDirs(), std::vector<std::string>{"/etc/xdg"});
}

TEST_F(ComponentRegistryOrder, TheUsersRegistrationShadowsTheMachineWideOne) {
  const std::string library = quoted(libraryPath());
  EXPECT_EQ(creationError(), 339);

  // Only a machine-wide registration, in the second system folder: readable by everyone.
  ASSERT_EQ(regsvrSystem(second, library), 0);
  EXPECT_FALSE(fs::exists(user / "Classes"));
  EXPECT_EQ(creationError(), 0);
  struct stat st {};
  ASSERT_EQ(::stat((second / "Classes" / "CLSID.conf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // The user's registration wins; one whose library is gone (a build folder removed since)
  // gives way to the machine-wide one, and the log says so.
  ASSERT_EQ(regsvr(library), 0);
  setRegisteredPath(user, "/nonexistent/liblumicell.so");
  static std::string logged;
  platform::setLogSink([](const char* event, std::size_t size) { logged.append(event, size) += '\n'; });
  EXPECT_EQ(creationError(), 0);
  platform::setLogSink(nullptr);
  const std::string said = "the library registered in " + user.string() + " does not load (/nonexistent/liblumicell.so: ";
  EXPECT_NE(logged.find(said), std::string::npos) << logged;
  EXPECT_NE(logged.find("); using " + libraryPath() + ", registered in " + second.string() + "\n"), std::string::npos);
  ASSERT_EQ(regsvr(library), 0);
  setRegisteredPath(second, "/nonexistent/liblumicell.so");
  EXPECT_EQ(creationError(), 0);

  // Only the broken machine-wide one, then a damaged one: the designed error, nothing worse.
  ASSERT_EQ(regsvr("-u " + library), 0);
  EXPECT_EQ(creationError(), 339);
  std::ofstream(second / "Classes" / "Kestrava.Lumicell.conf") << "\x01\x02 not a settings file";
  EXPECT_EQ(creationError(), 339);
  fs::remove(second / "Classes" / "Kestrava.Lumicell.conf");

  // Unregistering for all users leaves nothing in the system folder.
  ASSERT_EQ(regsvrSystem(second, library), 0);
  EXPECT_EQ(creationError(), 0);
  ASSERT_EQ(regsvrSystem(second, "-u " + library), 0);
  EXPECT_EQ(creationError(), 339);
  EXPECT_FALSE(fs::exists(second / "Classes"));

  // A link planted where regsvr writes as root is refused, and nothing goes through it.
  fs::create_directories(second / "Classes");
  fs::create_symlink(user / "victim", second / "Classes" / ".CLSID.conf.lock");
  EXPECT_EQ(regsvrSystem(second, library), 6);
  EXPECT_FALSE(fs::exists(user / "victim"));
  fs::remove_all(second / "Classes");
}

// A library that another user could change or replace: neither loaded nor registered.
TEST_F(ComponentRegistryOrder, ALibraryOthersCouldChangeIsNeitherLoadedNorRegistered) {
  const fs::path shared = user / "shared", copy = shared / "liblumicell.so";
  fs::create_directories(shared);
  fs::copy_file(libraryPath(), copy);
  ASSERT_EQ(regsvr(quoted(copy.string())), 0);
  EXPECT_EQ(creationError(), 0);
  const auto refused = [&](const char* what) {
    EXPECT_EQ(creationError(), 339) << what;
    EXPECT_EQ(regsvr(quoted(copy.string())), 7) << what;
  };
  fs::permissions(shared, fs::perms::all);
  refused("a folder others may write into");
  fs::permissions(shared, fs::perms::owner_all);
  ASSERT_EQ(::chown(copy.c_str(), 65534, 65534), 0);
  refused("a file of another user");
  ASSERT_EQ(::chown(copy.c_str(), 0, 0), 0);
  setRegisteredPath(user, "shared/liblumicell.so");
  const fs::path cwd = fs::current_path();
  fs::current_path(user);
  EXPECT_EQ(creationError(), 339) << "a relative path";
  fs::current_path(cwd);
  ASSERT_EQ(regsvr("-u " + quoted(copy.string())), 0);
}

}  // namespace
