// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnostic log.
#include "platform/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace platform {
namespace {

struct LogState {
  std::mutex mutex;
  std::FILE* file = nullptr;
  bool toStderr = true;
  std::atomic<LogSink> sink{nullptr};
  ~LogState() {
    if (file) std::fclose(file);
  }
};

LogState& state() {
  static LogState s;
  return s;
}

}  // namespace

std::string logTimestamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
  return buf;
}

void logEvent(std::string_view event) {
  if (LogSink sink = state().sink.load()) {
    sink(event.data(), event.size());
    return;
  }
  std::string line = logTimestamp();
  line += ' ';
  line += event;
  line += '\n';
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  if (s.toStderr) std::fwrite(line.data(), 1, line.size(), stderr);
  if (s.file) {
    std::fwrite(line.data(), 1, line.size(), s.file);
    std::fflush(s.file);
  }
}

void setLogFile(const std::string& path) {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  if (s.file) {
    std::fclose(s.file);
    s.file = nullptr;
  }
  if (path.empty()) return;
  // The log records alarm times and commands: it is the user's alone, and never written
  // through a link planted where it is to be.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd >= 0 && !(s.file = ::fdopen(fd, "a"))) ::close(fd);
  if (!s.file) std::fprintf(stderr, "cannot open the log file %s: %s\n", path.c_str(), std::strerror(errno));
}

void setLogSink(LogSink sink) {
  state().sink.store(sink);
}

void setLogToStderr(bool on) {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  s.toStderr = on;
}

}  // namespace platform
