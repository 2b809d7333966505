// SPDX-License-Identifier: GPL-3.0-or-later
// What the two alert windows share: the show modal to their owner (which waits for
// nothing: the window reports how it ended by a signal), the alarm text with its font and
// LED colour, the hide timer that closes the alert at its second, and the rule that an
// alert closed by the window frame ends the alarm.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QTime>
#include <optional>

#include "alarm/alarm_engine.h"

class AlertHost;
class QLabel;

namespace platform {
class SecondTimer;
}

// What an alert shows: the alarm's text (a late alarm's note under it), its face, and the
// LED colour index its letters take (0 cyan, 1 green, 2 red; any other: the window's own).
struct AlertContent {
  QString text;
  QString font;
  int colourIndex = -1;
};

class AlertWindow : public QDialog {
  Q_OBJECT
 public:
  using End = AlarmEngine::AlertEnd;
  // A preview rehearses the alarm from the preferences: no snooze, nothing recorded.
  AlertWindow(AlertHost& host, bool preview, QWidget* owner);
  ~AlertWindow() override;

  bool isPreview() const { return preview_; }
  // Whether this is the small message window (otherwise the full-screen alert).
  virtual bool isMessage() const = 0;
  // The text, its face and colour; the window fits itself to them.
  void setContent(const AlertContent& content);

  // Shows the window modal to its owner and comes back at once; `ended` follows.
  void showAlert();
  // A real alarm comes while this preview shows: the preview ends at once, as a stop.
  void endPreview();
  // Stop and Snooze asked from elsewhere (the desktop notification's buttons): as the
  // window's own Stop and Snooze.
  virtual void pressStop() = 0;
  virtual void pressSnooze() = 0;

  // The hide timer: ticks just after each second while the alert shows; the alert closes
  // at the second `at`, also when a tick came late and skipped it.
  platform::SecondTimer* TimerMessage = nullptr;
  void startHideTimer(const QTime& at);
  // The text's tooltip says when the window will hide itself.
  virtual void setHideTooltip(const QString& /*minutes*/) {}
  void TimerMessage_Timer();

  QLabel* lblMessage = nullptr;

 signals:
  // The window has closed, and how.
  void ended(AlarmEngine::AlertEnd end);

 protected:
  // The window fits itself to new content.
  virtual void contentChanged() {}
  // Every way the window is meant to close ends here.
  void finish(End end);
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
  std::optional<QTime> hideAt_;
  QDateTime checkedUpTo_;
};

// The text colour for an LED colour index (0 cyan, 1 green, 2 red; 0x00BBGGRR); -1 for any
// other index, which keeps the window's own colour.
int alertColourForIndex(int index);

// The alert window of the kind asked for: the message window or the full-screen alert.
AlertWindow* createAlertWindow(AlertHost& host, bool message, bool preview, QWidget* owner);
