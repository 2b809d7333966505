// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm check's switch. The check has no timer of its own: it runs in the clock's
// second-aligned tick, first, before the displays show the new second, while this is on. So
// the two never drift apart and the program wakes once a second.
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
