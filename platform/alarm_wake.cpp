// SPDX-License-Identifier: GPL-3.0-or-later
// alarm-wake: holds a kernel wake alarm so that a sleeping computer is woken for an alarm.
//   alarm-wake SECONDS     SECONDS: the wall-clock moment to wake at, in seconds since 1970,
//                          after now and within a year (digits only)
// Prints "armed SECONDS" once the alarm is set and "woke" when it has fired, then ends; it
// ends too when the program that started it does, and when its standard input ends (the
// program holds it open while it wants the alarm). Without the capability to set wake
// alarms (CAP_WAKE_ALARM) it prints "cannot: <reason>" and ends with status 3. Once the
// alarm is set it gives up every capability. Plain C++: the one file of the program that
// may hold that capability does nothing else.
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// The longest wait taken: an alarm clock never needs more, and a mistyped moment is refused.
constexpr long long kLongestWait = 366LL * 24 * 3600;

// The moment as digits only (no blanks, no sign), after now and within kLongestWait; -1 otherwise.
long long moment(const char* text) {
  long long when = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || when > 1'000'000'000'000LL) return -1;
    when = when * 10 + (*c - '0');
  }
  const long long now = static_cast<long long>(std::time(nullptr));
  return *text != '\0' && when > now && when <= now + kLongestWait ? when : -1;
}

// Whatever the starter set is undone: an ignored or caught SIGTERM would outlive the
// death signal, and a blocked one would wait forever.
void defaultSignals() {
  for (int sig = 1; sig < NSIG; ++sig) std::signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Gives up every capability (the kernel alarm, once set, stays) and any way to regain one.
bool dropCapabilities() {
  ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
  for (int cap = 0; cap <= CAP_LAST_CAP; ++cap) ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);  // where allowed
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
  return ::syscall(SYS_capset, &header, none) == 0 && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const pid_t starter = ::getppid();
  defaultSignals();
  const long long when = argc == 2 ? moment(argv[1]) : -1;
  if (when < 0 || ::fcntl(STDIN_FILENO, F_GETFD) < 0) {
    std::fprintf(stderr, "usage: alarm-wake SECONDS (a moment after now and within a year), with a standard input\n");
    return 2;
  }
  // Ends with the program that started it; if that is gone already, ends now.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != starter) return 0;

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
  if (!dropCapabilities()) {
    std::fprintf(stderr, "alarm-wake: cannot give up its capabilities: %s\n", std::strerror(errno));
    return 4;
  }
  std::printf("armed %lld\n", when);
  std::fflush(stdout);
  pollfd watch[2] = {{fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  for (;;) {
    if (::poll(watch, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (watch[0].revents & POLLIN) break;
    if (watch[1].revents != 0) {
      // Input is read and dropped; its end means the starter is done with the alarm.
      char drop[64];
      const ssize_t n = ::read(STDIN_FILENO, drop, sizeof drop);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return 0;
    }
  }
  uint64_t expirations = 0;
  (void)!::read(fd, &expirations, sizeof expirations);
  std::printf("woke\n");
  return 0;
}
