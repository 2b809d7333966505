// SPDX-License-Identifier: GPL-3.0-or-later
// The detached LED clock: a small window showing only the time on its own display, opened
// by a double-click on the main window's display and closed by a double-click on itself,
// which brings the main window back beside it.
#pragma once

#include <QWidget>
#include <memory>

class QFrame;
class ClockDisplay;
class frmMain;

// Offsets between the two windows' top-left corners, in twips: the LED window opens this
// far right of and below the main window, so its display sits about where the main
// window's display was; closing it puts the main window back by the same amount.
inline constexpr int kLedOffsetTop = 720;
inline constexpr int kLedOffsetLeft = 140;

class frmLEDalone : public QWidget {
  Q_OBJECT
 public:
  // Builds the window with its display control: RuntimeError 339 when the control cannot
  // be created.
  explicit frmLEDalone(frmMain& main);
  ~frmLEDalone() override;

  // Centres the display in the picture box.
  void Form_Activate();
  // Closes the window.
  void Picture1_DblClick();
  // The top-left corner in twips, and placing the window there.
  QPoint topLeftTwips() const;
  void moveToTwips(const QPoint& topLeft);
  // Takes note of the main window's frame while it shows, to put it back the same way.
  void rememberMainFrame();

  QFrame* Picture1 = nullptr;
  std::unique_ptr<ClockDisplay> Lumicell1;

 protected:
  // Closing by any way (double-click, the tray's Launch, the window manager) brings the
  // main window back, unless the program is ending.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Unload();
  frmMain& main_;
  QPoint mainFrame_;  // the main window's inner corner within its frame
};
