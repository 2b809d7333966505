// SPDX-License-Identifier: GPL-3.0-or-later
// What the alarm's firing needs of an alert window, whichever kind the program shows (the
// small message window or the full-screen alert): the modal show, its hide timer and the
// end of a preview. The windows themselves live with the other alert windows.
#pragma once

#include <QString>
#include <functional>

class AlertHost;
class QWidget;

class Alert {
 public:
  virtual ~Alert() = default;

  // The window itself: deleting it ends the alert.
  virtual QWidget* alertWidget() = 0;
  // Whether this is the small message window (otherwise the full-screen alert).
  virtual bool isMessage() const = 0;
  // Shows the window modal to its owner and returns when it has closed.
  virtual void showModal() = 0;
  // The hide timer starts, and the text's tooltip says when the window will hide itself.
  virtual void startHideTimer() = 0;
  virtual void setHideTooltip(const QString& /*minutes*/) {}
  // A real alarm comes while this preview shows: the preview ends at once, as a stop.
  virtual void endPreview() = 0;
};

// Builds the alert window of the kind asked for, modal to owner; a preview rehearses the
// alarm from the preferences.
using AlertFactory = std::function<Alert*(AlertHost& host, bool message, bool preview, QWidget* owner)>;
