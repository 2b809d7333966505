// SPDX-License-Identifier: GPL-3.0-or-later
// The LED window and the tray icon's part of the main window: the double-click on the main
// display that swaps it for the LED window, dragging the main window by its display and
// the display's time tooltip, the LED window's tick, and the tray icon's clicks and menu.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTime>
#include <memory>

#include "app/frmMain.h"

class frmLEDalone;

namespace led {

// The main display's tooltip: " Time: 14:05 (2:05 pm) ".
QString timeTooltip(const QTime& t);

class LedTray : public QObject {
 public:
  explicit LedTray(frmMain& main);
  ~LedTray() override;

  // The main window's seams.
  bool ledWindowVisible() const;
  QPoint mainPlaceOfLedWindow() const;
  void putLedDisplay(const QString& text);
  void closeLedWindow();
  // A mouse message from the tray icon.
  void pichook_MouseMove(int message);

  // A double-click on the main display: the LED window instead of the main window.
  void Picture1_DblClick();
  // The mouse moves over the main display: the time tooltip.
  void Picture1_MouseMove();

  // The LED window, created on first use; null until then.
  frmLEDalone* ledWindow() const { return led_.get(); }
  // The last message the tray icon sent, handled or not.
  int lastTrayMessage() const { return lastTrayMessage_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void prepareTrayMenu();
  void execTrayMenu();

  frmMain& main_;
  frmMain::LedHooks hooks_;
  std::unique_ptr<frmLEDalone> led_;
  bool trayBusy_ = false;
  int lastTrayMessage_ = 0;
};

}  // namespace led
