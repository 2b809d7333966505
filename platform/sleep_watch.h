// SPDX-License-Identifier: GPL-3.0-or-later
// Tells when the computer has resumed from sleep, as logind announces it on the system bus
// (nothing where there is no logind).
#pragma once

#include <QObject>

namespace platform {

class SleepWatch : public QObject {
  Q_OBJECT
 public:
  explicit SleepWatch(QObject* parent = nullptr);

 signals:
  void resumed();

 private slots:
  void prepareForSleep(bool going);
};

}  // namespace platform
