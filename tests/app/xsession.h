// SPDX-License-Identifier: GPL-3.0-or-later
// A private X server (Xvfb) with private settings and runtime folders, for tests that
// start the built program in a real window and drive it with xdotool.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testx {

// What is missing to run real-window tests ("" when everything is there).
std::string missingTools();

class XSession {
 public:
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool ok() const { return xvfb_ > 0; }
  const std::string& display() const { return display_; }
  const std::filesystem::path& configHome() const { return config_; }
  const std::filesystem::path& root() const { return root_; }

  // Starts a program with DISPLAY and the private folders set; stdout/stderr go to a
  // file in root(). Returns the pid.
  pid_t spawn(const std::vector<std::string>& argv, const std::string& outName = "out.txt");
  // Runs a command to its end in the session's environment and returns its output.
  std::string run(const std::string& shellCommand, int* status = nullptr);

  // Registers the LED display control of the build in the private settings, when built.
  void registerDisplayControl();

 private:
  std::string env() const;
  std::filesystem::path root_, config_, runtime_;
  std::string display_;
  pid_t xvfb_ = -1;
  std::vector<pid_t> children_;
};

std::filesystem::path binDir();
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
bool processAlive(pid_t pid);
// Waits up to the time-out for the process to end; its exit code, or -1 when it still runs.
int waitExit(pid_t pid, std::chrono::milliseconds timeout);
std::string slurp(const std::filesystem::path& p);

}  // namespace testx
