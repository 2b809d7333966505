// SPDX-License-Identifier: GPL-3.0-or-later
// frmAlarmMessage: the small always-on-top window with the alarm text, Stop and Snooze.
#pragma once

#include "notify/alert_window.h"

class QPushButton;

class frmAlarmMessage final : public AlertWindow {
  Q_OBJECT
 public:
  // Loads at once: the window is created and loaded hidden, given its content, then shown.
  frmAlarmMessage(AlertHost& host, bool preview, QWidget* owner);

  void Form_Load();
  void Form_Activate();
  void cmdok_Click();
  void cmdSnooze_Click();
  // The text's tooltip when the window is to hide itself after some minutes.
  void setHideTooltip(const QString& minutes) override;
  bool isMessage() const override { return true; }
  void pressStop() override { cmdok_Click(); }
  void pressSnooze() override { cmdSnooze_Click(); }
  // Grows the window to show the whole message.
  void fitMessage();

  QPushButton* cmdSnooze = nullptr;
  QPushButton* cmdOk = nullptr;

 protected:
  void hideTimeReached() override { stop(End::Hidden); }
  void closedByFrame() override { stop(End::Stopped); }
  void contentChanged() override { fitMessage(); }
  bool event(QEvent* e) override;

 private:
  // Stop, the frame and the hide time: the music stops and the alarm is recorded.
  void stop(End end);
};
