// SPDX-License-Identifier: GPL-3.0-or-later
// What the two alert windows share: the modal show over their owner, the alarm text with
// its font and LED colour, the hide timer that closes the alert at its second, and the
// rule that an alert closed by the window frame ends the alarm.
#pragma once

#include <QDateTime>
#include <QDialog>

#include "notify/alert.h"

class AlertHost;
class QLabel;

namespace platform {
class SecondTimer;
}

class AlertWindow : public QDialog, public Alert {
  Q_OBJECT
 public:
  // A preview rehearses the alarm from the preferences: no snooze, nothing recorded.
  AlertWindow(AlertHost& host, bool preview, QWidget* owner);
  ~AlertWindow() override;

  bool isPreview() const { return preview_; }

  QWidget* alertWidget() override { return this; }
  // Shows the window modal to its owner and returns when it has closed.
  void showModal() override;
  // A real alarm comes while this preview shows: the preview ends at once, as a stop.
  void endPreview() override;

  // The hide timer: ticks just after each second while the alert shows; the alert closes
  // at the second of lblHDDNhideAlert, also when a tick came late and skipped it.
  platform::SecondTimer* TimerMessage = nullptr;
  void startHideTimer() override;
  void TimerMessage_Timer();

  QLabel* lblMessage = nullptr;

 protected:
  // The load steps both windows share: the stored font face, the LED colour and the text.
  // Failures are reported with the window's location label; the window still shows.
  void loadFontColourAndText(const char* location);
  // Every way the window is meant to close ends here.
  void finish();
  // Records the alarm shown, unless this is a preview.
  void record();
  // The width of the message's widest word in the label's font: its lines break between
  // words only.
  int widestWord() const;

  virtual void hideTimeReached() = 0;
  // The window frame's close (or Alt+F4): the alarm stops.
  virtual void closedByFrame() = 0;

  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Esc reaches reject(): the alert windows have no Cancel, so it does nothing by itself.
  void reject() override {}

  AlertHost& host_;

 private:
  bool preview_;
  bool finishing_ = false;
  QDateTime checkedUpTo_;
};

// The text colour for an LED colour index (0 cyan, 1 green, 2 red; 0x00BBGGRR); -1 for any
// other index, which keeps the window's own colour.
int alertColourForIndex(int index);

// The alert window of the kind asked for: the message window or the full-screen alert.
Alert* createAlertWindow(AlertHost& host, bool message, bool preview, QWidget* owner);
