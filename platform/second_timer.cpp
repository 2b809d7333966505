// SPDX-License-Identifier: GPL-3.0-or-later
// The second-aligned timer.
#include "platform/second_timer.h"

#include <QDateTime>
#include <QTimer>

namespace platform {

SecondTimer::SecondTimer(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, [this] {
    // A timer that wakes a little early would tick twice in one second: wait for the boundary.
    const bool early = QDateTime::currentMSecsSinceEpoch() % 1000 >= 500;
    arm();
    if (!early) emit timeout();
  });
}

void SecondTimer::start() {
  active_ = true;
  arm();
}

void SecondTimer::stop() {
  active_ = false;
  timer_->stop();
}

void SecondTimer::waitSeconds(int seconds) {
  seconds_ = seconds < 1 ? 1 : seconds;
  arm();
}

int SecondTimer::remainingMs() const { return timer_->isActive() ? timer_->remainingTime() : -1; }

void SecondTimer::arm() {
  const int seconds = seconds_;
  seconds_ = 1;
  if (!active_) return;
  const qint64 ms = QDateTime::currentMSecsSinceEpoch() % 1000;
  timer_->start(static_cast<int>(1000 * seconds - ms + kOffsetMs));
}

}  // namespace platform
