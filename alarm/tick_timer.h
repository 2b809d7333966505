// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm check's timer. It runs on the clock's second-aligned tick, just after the clock
// has shown the new second, so the two never drift apart and the program wakes once a second.
#pragma once

namespace engine {

class TickTimer {
 public:
  bool isActive() const { return enabled_; }
  void start() { enabled_ = true; }
  void stop() { enabled_ = false; }
  void setEnabled(bool on) { enabled_ = on; }

 private:
  bool enabled_ = false;
};

}  // namespace engine
