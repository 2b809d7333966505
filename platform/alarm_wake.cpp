// SPDX-License-Identifier: GPL-3.0-or-later
// alarm-wake: holds a kernel wake alarm so that a sleeping computer is woken for an alarm.
//   alarm-wake SECONDS     SECONDS: the wall-clock moment to wake at, in seconds since 1970
// Prints "armed SECONDS" once the alarm is set and "woke" when it has fired, then ends; it
// ends too when the program that started it does. Without the capability to set wake
// alarms (CAP_WAKE_ALARM) it prints "cannot: <reason>" and ends with status 3. Plain C++:
// the one file of the program that may hold that capability does nothing else.
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: alarm-wake SECONDS\n");
    return 2;
  }
  char* end = nullptr;
  errno = 0;
  const long long when = std::strtoll(argv[1], &end, 10);
  if (errno != 0 || end == argv[1] || *end != '\0' || when < 0) {
    std::fprintf(stderr, "alarm-wake: not a moment: %s\n", argv[1]);
    return 2;
  }
  // Ends with the program that started it; if that is gone already, ends now.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() == 1) return 0;

  const int fd = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
  if (fd < 0) {
    std::printf("cannot: %s\n", std::strerror(errno));
    return 3;
  }
  itimerspec at{};
  at.it_value.tv_sec = static_cast<time_t>(when);
  if (::timerfd_settime(fd, TFD_TIMER_ABSTIME, &at, nullptr) != 0) {
    std::printf("cannot: %s\n", std::strerror(errno));
    return 3;
  }
  std::printf("armed %lld\n", when);
  std::fflush(stdout);
  uint64_t expirations = 0;
  while (::read(fd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
  }
  std::printf("woke\n");
  return 0;
}
