// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the clock, the alarm-time editor, the menus and the tray icon record. It
// owns the alarm engine, shows its state (status line, fields) and forwards the user's
// actions to it; the other windows hang on its parts (main_parts.h).
#pragma once

#include <optional>

#include <QMainWindow>
#include <QString>
#include <QTime>
#include <array>
#include <memory>

#include "alarm/alarm_engine.h"
#include "platform/entry_selection.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class ClockDisplay;
class MainWindowParts;
class UpDown;
class frmAbout;
class frmQuickAlarm;
class SessionEndWatcher;
class UserNotice;

namespace platform {
class SecondTimer;
}

// The tip of the notification-area icon: the text cut to the 64 bytes the desktop takes.
QString trayTip(const QString& text);

class frmMain : public QMainWindow {
  Q_OBJECT
 public:
  // Why the window is being unloaded.
  enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2 };
  // Status line colours (0x00BBGGRR).
  static constexpr int kColourArmed = 0xC00000;
  static constexpr int kColourNotArmed = 0x404040;

  // Creating the window creates its display control: RuntimeError 339 when that fails.
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // Runs once when the window object is created: adds the notification-area icon.
  void Form_Initialize();
  // Runs once before the window is first shown: restores the settings.
  void Form_Load();
  // Asks whether the window may unload; sets cancel to keep it.
  void Form_QueryUnload(bool& cancel, int unloadMode);
  // Saves the settings, tears down and ends the program.
  void Form_Unload();
  // Runs the unload the way the platform does: the question first, then the unload.
  // Returns true when the window unloaded.
  bool requestUnload(int unloadMode);
  bool isUnloaded() const { return unloaded_; }
  void Form_Resize();

  // Centres the window on its screen.
  void centreWindow();
  // Where the window's frame corner goes for a wished place: the place itself when the
  // whole window lies in a screen's work area, else moved inside the work area of the
  // screen it overlaps most; nothing when it would lie off every screen.
  std::optional<QPoint> placeOnScreen(const QPoint& corner) const;
  // The parts other windows provide (the defaults stand in until they are built).
  void setParts(std::unique_ptr<MainWindowParts> parts);
  MainWindowParts& parts() { return *parts_; }
  // The alarm: its state, arming and the check at each second.
  AlarmEngine& engine() { return *engine_; }
  // Tells the user what nothing waits for (a missed alarm, settings that cannot be saved).
  UserNotice& notice() { return *notice_; }

  // --- Alarm time entry
  bool is24() const;
  void SetSelected();
  void useTwoNumbers(QLineEdit* box);
  void cboAMPM_Click();
  void UpDownHRS_Change();
  // The checks on leaving a box; false when the focus must stay.
  bool txtHRS_Validate();
  bool txtMinSec_Validate(QLineEdit* box);

  // --- Arming and the clock
  void cmdSet_Click();
  void startTimer(const QString& minutes);
  void cmdHDDNplaysound_Click();

  // --- Window
  void lblAlarm_MouseMove();
  void cmdPrefs_Click();

  // --- Reset, deactivate, quick alarms
  void menuResetAlarm_Click();
  void cmdReset_Click();
  void MenuDeactivateAlarm_Click();
  void menuSetManualMins_Click();
  frmQuickAlarm* quickAlarm() const { return quickAlarm_; }

  // --- Menus
  void menuAlwaysOnTop_Click();
  void menuHelp_Click();
  void menuAbout_Click();
  void menuExit_Click();
  void menuEdit_Click();
  void menuAMPM_Click(int index);
  void menuAutoStart_Click();
  void menuAutoQuit_Click();
  // The alarm days dialog, shown without waiting; OK stores the days and hands them to the engine.
  void menuAlarmDays_Click();
  void menuPrefs_Click();
  void menuLedcolour_Click(int index);
  void menuLedsize_Click(int index);
  void menuTrayLaunch_Click();
  frmAbout* aboutBox() const { return about_; }

  // The LED colour chosen in the menu: 0 blue, 1 green, 2 red.
  int ledColour() const;

  // The status line and its colour (the engine's status).
  void setStatus(const QString& caption, int colour);
  int statusColour() const { return statusColour_; }

  // What the LED window and the tray menu (led/) hook onto: the display they swap and drag
  // the window by, and the tray icon's menu with the entries they set before it shows.
  struct LedHooks {
    QFrame* display;       // Picture1
    ClockDisplay& digits;  // Lumicell1
    QMenu* trayMenu;       // menuDummy, and three of its entries:
    QAction* trayLaunch;     // menuTrayLaunch
    QAction* trayAlarmTime;  // menuTrayAlarmTime
    QAction* trayAbout;      // menuTrayAbout
  };
  LedHooks ledHooks();
  bool alwaysOnTop() const;
  // The clock, when it runs, ticks every second from now on (one sleeping while nothing
  // shows the time wakes).
  void tickEverySecond();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void setVisible(bool visible) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Controls.
  QFrame* Picture1 = nullptr;
  std::unique_ptr<ClockDisplay> Lumicell1;
  QFrame* Picture2 = nullptr;
  QLineEdit* txtHRS = nullptr;
  QLineEdit* txtMIN = nullptr;
  QLineEdit* txtSEC = nullptr;
  UpDown* UpDownHRS = nullptr;
  UpDown* UpDownMIN = nullptr;
  UpDown* UpDownSEC = nullptr;
  QComboBox* cboAMPM = nullptr;
  QPushButton* cmdSet = nullptr;
  QPushButton* cmdReset = nullptr;
  QPushButton* cmdPrefs = nullptr;
  QCheckBox* Check1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* lblAlarm = nullptr;
  QPushButton* cmdHDDNplaysound = nullptr;

  // Menus.
  QMenu* menuProject = nullptr;
  QMenu* menuEdit = nullptr;
  QMenu* menuQuick = nullptr;
  QMenu* menuDummy = nullptr;
  QAction* menuAlwaysOnTop = nullptr;
  QAction* menuHelp = nullptr;
  QAction* menuAbout = nullptr;
  QAction* menuExit = nullptr;
  std::array<QAction*, 3> menuLedcolour{};
  std::array<QAction*, 2> menuLedsize{};
  std::array<QAction*, 2> menuAMPM{};
  QAction* menuAutoStart = nullptr;
  QAction* menuAutoQuit = nullptr;
  QAction* menuResetAlarm = nullptr;
  QAction* MenuDeactivateAlarm = nullptr;
  QAction* menuPrefs = nullptr;
  QAction* menuSet5Mins = nullptr;
  QAction* menuSet10Mins = nullptr;
  QAction* menuSet15Mins = nullptr;
  QAction* menuSet20Mins = nullptr;
  QAction* menuSetManualMins = nullptr;
  QAction* menuTrayLaunch = nullptr;
  QAction* menuTrayAlarmTime = nullptr;
  QAction* menuTrayHelp = nullptr;
  QAction* menuTrayAbout = nullptr;
  QAction* menuTrayExit = nullptr;

  // The clock's second-aligned tick; the alarm check runs on it.
  platform::SecondTimer* Clock = nullptr;

  // The entry fields as a time (the label held their text), recorded when the Edit menu
  // opens; none when they held no time of day.
  std::optional<QTime> lblHDDNfromboxes;

  platform::EntrySelection entrySelection_;
  void onSecond();
  void minimiseAfterArming();
  void buildControls();
  void buildMenus();
  // The fields of the alarm armed with Set Alarm, written to the settings as they are armed.
  void storeArmedFields(const QString& h, const QString& m, const QString& s, int half);
  // What decides the engine's next ring, in one write (see alarm/engine_state.h).
  void storeEngineState();
  void centreDisplay();
  void applyClockModeRange();
  void fillFieldsFromAmPm(const QString& s);
  void setTopmost(bool on);
  bool validateBeforeLeaving(QWidget* target);
  bool validateBeforePress(QWidget* target);
  void showTime(const QString& t);
  // The days and the next ring, the tooltips' second line while an alarm is armed; empty else.
  QString nextRingLine() const;
  // The tray icon's tip: the tip it was added with, and that line.
  void showNextRingInTray();
  // The command-line text after the program's own options.
  static QString commandLineText();

  std::unique_ptr<AlarmEngine> engine_;
  std::unique_ptr<UserNotice> notice_;
  std::unique_ptr<MainWindowParts> parts_;
  SessionEndWatcher* sessionEnd_ = nullptr;
  frmQuickAlarm* quickAlarm_ = nullptr;
  frmAbout* about_ = nullptr;
  int statusColour_ = kColourNotArmed;
  bool unloading_ = false;
  bool armedFromFields_ = false;  // the armed alarm is the one stored in HH, NN, SS
  // The engine's state is not stored: before the load has restored the state kept by the
  // last run, and while Set Alarm stores it with the fields.
  bool holdState_ = true;
  bool sessionEndPending_ = false;
  bool unloaded_ = false;  // the unload began (the hidden label lblHDDNquiting then held "QUITING")
  bool shownOnce_ = false;
  bool startInTray_ = false;       // the first show is skipped: the window starts in the tray
  bool hiddenSinceStart_ = false;  // in the tray, never shown yet
  bool displayStale_ = false;
  QSize enlargeTo_;
};
