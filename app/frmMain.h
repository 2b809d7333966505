// The main window: the clock, the alarm-time editor and the owner of all run-time state.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>

class QWidget;

// The notification-icon record the main window fills when it is created and reuses to
// remove the icon when it unloads.
struct NotifyIconData {
  int cbSize = 0;
  QWidget* hWnd = nullptr;
  int uID = 0;
  int uFlags = 0;
  int uCallbackMessage = 0;
  std::array<char, 64> szTip{};
  // The tip as the desktop shows it: the field up to its NUL.
  QString tip() const;
};

// The 64-character tip field: the text, one NUL, then blanks; cut to 64 characters.
std::array<char, 64> makeTipField(const QString& text);

class frmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // Runs once when the window object is created: adds the notification-area icon.
  void Form_Initialize();
  // Runs once when the window is first shown: restores the settings.
  void Form_Load();

  const NotifyIconData& trayRecord() const { return nid_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Unload();

  NotifyIconData nid_;
  QWidget* pichook_ = nullptr;
};
