// SPDX-License-Identifier: GPL-3.0-or-later
// frmAlarmFullscreen: the black window over the whole screen with the alarm text in large
// letters. Esc or a double-click stops the alarm, the space bar snoozes it.
#pragma once

#include "notify/alert_window.h"

class frmAlarmFullscreen final : public AlertWindow {
  Q_OBJECT
 public:
  frmAlarmFullscreen(AlertHost& host, bool preview, QWidget* owner);

  void Form_Load();
  void Form_DblClick();
  // A key that gives a character (Esc and the space bar among them).
  void Form_KeyPress(int keyAscii);
  bool isMessage() const override { return false; }
  // The double-click and the space bar.
  void pressStop() override { Form_DblClick(); }
  void pressSnooze() override { Form_KeyPress(32); }

  // The line near the bottom that says how to end the alert.
  QLabel* lblHint = nullptr;

 protected:
  void hideTimeReached() override { stopAndRecord(End::Hidden); }
  void contentChanged() override { layOut(size()); }
  // Closed by the frame or Alt+F4: as Esc.
  void closedByFrame() override { stopByEsc(); }
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void stopByEsc();
  // The double-click and the hide time: the music stops and the alarm is recorded.
  void stopAndRecord(End end);
  // The text centred in a window of that size, its size growing with the window.
  void layOut(const QSize& screen);
};
