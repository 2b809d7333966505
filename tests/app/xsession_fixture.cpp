// SPDX-License-Identifier: GPL-3.0-or-later
// The private X server for real-window tests.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "xsession.h"

namespace fs = std::filesystem;

namespace testx {

namespace {
bool onPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}
}  // namespace

std::string missingTools() {
  std::string missing;
  for (const char* t : {"Xvfb", "xdotool"})
    if (!onPath(t)) missing += std::string(missing.empty() ? "" : ", ") + t;
  return missing;
}

fs::path binDir() {
  const char* d = std::getenv("ALARM_BIN_DIR");
  return d ? fs::path(d) : fs::path("build/bin");
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

bool processAlive(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, WNOHANG) == 0;
}

int waitExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (r < 0) return -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

XSession::XSession() {
  root_ = fs::temp_directory_path() / ("alarm-x-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
  config_ = root_ / "config";
  runtime_ = root_ / "runtime";
  fs::create_directories(config_);
  fs::create_directories(runtime_);
  fs::permissions(runtime_, fs::perms::owner_all);
  // A display number nobody uses: start from one derived from the pid and look for a free one.
  for (int n = 100 + ::getpid() % 400, tries = 0; tries < 50; ++n, ++tries) {
    if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock") || fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      continue;
    display_ = ":" + std::to_string(n);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setpgid(0, 0);
      const int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
      // -noreset: the server does not reset when its last client leaves, which would refuse
      // a program started in that moment.
      ::execlp("Xvfb", "Xvfb", display_.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
               nullptr);
      ::_exit(127);
    }
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (waitFor([&] { return fs::exists(socket) || !processAlive(pid); }, std::chrono::seconds(10)) &&
        processAlive(pid)) {
      xvfb_ = pid;
      break;
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
}

XSession::~XSession() {
  for (pid_t pid : children_) {
    if (processAlive(pid)) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
  if (xvfb_ > 0) {
    ::kill(xvfb_, SIGTERM);
    if (waitExit(xvfb_, std::chrono::seconds(3)) == -1) {
      ::kill(xvfb_, SIGKILL);
      ::waitpid(xvfb_, nullptr, 0);
    }
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string XSession::env() const {
  return "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=" + display_ + " XDG_CONFIG_HOME=" + config_.string() +
         " XDG_STATE_HOME=" + (root_ / "state").string() + " XDG_RUNTIME_DIR=" + runtime_.string() + " ";
}

pid_t XSession::spawn(const std::vector<std::string>& argv, const std::string& outName) {
  const std::string out = (root_ / outName).string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("DISPLAY", display_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root_ / "state").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  children_.push_back(pid);
  return pid;
}

std::string XSession::run(const std::string& shellCommand, int* status) {
  const std::string cmd = env() + "sh -c '" + shellCommand + "' 2>/dev/null";
  std::string output;
  if (FILE* p = ::popen(cmd.c_str(), "r")) {
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
    const int st = ::pclose(p);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  return output;
}

void XSession::registerDisplayControl() {
  const fs::path regsvr = binDir() / "regsvr";
  const fs::path lib = binDir() / "liblumicell.so";
  if (fs::exists(regsvr) && fs::exists(lib)) run(regsvr.string() + " " + fs::absolute(lib).string());
}

}  // namespace testx
