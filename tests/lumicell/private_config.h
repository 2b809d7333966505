// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers: a private configuration folder (so registrations never reach the real
// user's settings), the build's binaries, and running a program.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumicell_test {

// Sets XDG_CONFIG_HOME to a fresh temporary folder before anything reads it, and removes
// it when the test program ends.
class PrivateConfig {
 public:
  PrivateConfig() {
    char tmpl[] = "/tmp/lumicell-test-XXXXXX";
    if (const char* d = ::mkdtemp(tmpl)) {
      dir_ = d;
      ::setenv("XDG_CONFIG_HOME", d, 1);
    }
  }
  ~PrivateConfig() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline const PrivateConfig& privateConfig() {
  static PrivateConfig config;
  return config;
}

// Set up before main, so nothing in the test program reads the real user's folder.
inline const PrivateConfig& kPrivateConfigAtStart = privateConfig();

inline std::filesystem::path binDir() {
  const char* d = std::getenv("ALARM_BIN_DIR");
  return d ? std::filesystem::path(d) : std::filesystem::path("bin");
}

inline std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs a shell command line, always inside the private configuration folder; its exit
// status (-1 when it did not exit normally).
inline int run(const std::string& command) {
  if (privateConfig().dir().empty()) return -1;
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline int regsvr(const std::string& args) {
  return run(quoted((binDir() / "regsvr").string()) + " " + args);
}

inline std::string libraryPath() { return (binDir() / "liblumicell.so").string(); }

}  // namespace lumicell_test
