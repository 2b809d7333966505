// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance rule: one running copy per user and per program file name.
#pragma once

#include <string>

namespace platform {

class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  // True when this process is now the only running copy; false when another runs.
  virtual bool acquire() = 0;
};

// Holds an exclusive lock on a file in the user's runtime folder for the life of the
// process. The kernel drops the lock when the process ends in any way, so a copy that
// crashed or was killed never blocks the next start.
class LockFileInstanceGuard final : public InstanceGuard {
 public:
  explicit LockFileInstanceGuard(std::string programName);
  ~LockFileInstanceGuard() override;
  bool acquire() override;
  // The lock file; "" when there is no private runtime folder to put it in.
  std::string lockPath() const;

 private:
  std::string programName_;
  int fd_ = -1;
};

// For tests: another copy runs exactly when told so.
class FakeInstanceGuard final : public InstanceGuard {
 public:
  bool acquire() override { return !otherCopyRunning; }
  bool otherCopyRunning = false;
};

// The user's runtime folder: $XDG_RUNTIME_DIR when it is a private folder of the user's,
// else a private folder under /tmp; "" when that one is not private either (the program
// then runs without the lock, as it does when the lock fails for any reason but another
// copy holding it).
std::string runtimeDir();

}  // namespace platform
