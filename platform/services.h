// SPDX-License-Identifier: GPL-3.0-or-later
// The platform services the program talks to instead of calling the desktop directly.
// Each has a real implementation (services_qt.cpp) and a fake for tests (fake_services.h).
// This header and services.cpp stand on Qt Core alone: the widget-free rooms use them.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <string>

#include "platform/errors.h"

class QWidget;
class QIcon;
class QMenu;

namespace platform {

// Message box flags and answers, with the values the program's callers use.
namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kDefaultButton2 = 256;
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace mb

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows a modal box; returns the answer (mb::kOk, mb::kYes, mb::kNo).
  virtual int msgBox(const QString& prompt, int flags, const QString& title) = 0;
  // Shows a box with OK that blocks nothing: the program goes on at once and the box stays
  // until it is answered, beside `beside` when given.
  // Returns the box (it deletes itself once answered or closed), or nothing where no box shows.
  virtual QWidget* notice(const QString& prompt, int flags, const QString& title, QWidget* beside = nullptr) = 0;
};

class ClockService {
 public:
  virtual ~ClockService() = default;
  virtual QDateTime now() const = 0;
};

// The notification-area icon. Mouse actions arrive as activated(message): 515 for a
// double-click, 516 for the context (right) button, 514 for a left click.
class TrayService : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  static constexpr int kLeftButtonUp = 514;
  static constexpr int kDoubleClick = 515;
  static constexpr int kContext = 516;
  virtual bool available() const = 0;
  virtual void add(const QIcon& icon, const QString& tip) = 0;
  // A new tip for the icon added.
  virtual void setTip(const QString& tip) = 0;
  virtual void remove() = 0;
  virtual bool shown() const = 0;
  // Notification areas that speak the StatusNotifierItem protocol (KDE Plasma, GNOME with
  // the AppIndicator extension) show the icon's menu themselves and send no double-click:
  // the menu is handed over once, and a single activation stands for the double-click.
  // An X11 notification area (XEmbed) sends the clicks, and the program pops the menu up.
  virtual bool desktopShowsMenu() const = 0;
  virtual void setMenu(QMenu* menu) = 0;
  // A notification from the icon, for what the user must read even while the window is
  // hidden.
  virtual void showMessage(const QString& title, const QString& text) = 0;
 signals:
  void activated(int message);
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // Opens a file or address with the desktop's handler (a program named first is started
  // with the rest as its arguments, a relative path to it taken from the program's folder)
  // in the given working folder (ours when empty); false when nothing could open it.
  virtual bool open(const QString& target, const QString& workingFolder = QString()) = 0;
  // Opens a text file in the desktop's text editor; when the desktop has none (or its
  // opener fails), the file shows in a read-only window of the program's own.
  virtual bool openTextFile(const QString& path) = 0;
  // Runs a program file, without arguments, in the given working folder; false when it
  // cannot be started.
  virtual bool runProgram(const QString& path, const QString& workingFolder) = 0;
  // Opens a document file with the desktop's handler for its type, never running it;
  // false when nothing could open it.
  virtual bool openDocument(const QString& path) = 0;
};

class ProcessService {
 public:
  virtual ~ProcessService() = default;
  // Starts a command line (program and arguments split as typed, no shell; a relative path
  // to the program is taken from the program's folder, a bare name from the PATH). Raises
  // RuntimeError 53 when the program cannot be found. Does not wait.
  virtual void start(const QString& commandLine) = 0;
};

class SoundService {
 public:
  virtual ~SoundService() = default;
  // A tone of the given frequency and length; returns when it has ended.
  virtual void beep(int frequencyHz, int durationMs) = 0;
  // The number of audio outputs.
  virtual int outputCount() = 0;
  // Starts playing a wave file and returns at once; a missing or unplayable file is silent.
  virtual void playWaveAsync(const QString& path) = 0;
  // Loads a wave file ahead, so that the next playWaveAsync of it only has to start it.
  virtual void prepareWave(const QString& path) { (void)path; }
  // The wave sound's own volume, from 0 (silent) to 1 (full, as it starts): for the wave
  // playing now and for those started after it. The mixer is not touched.
  virtual void setWaveVolume(float volume) { (void)volume; }
  // Whether a wave sound is playing now.
  virtual bool wavePlaying() { return false; }
};

class WindowService {
 public:
  virtual ~WindowService() = default;
  virtual void setTopmost(QWidget* window, bool topmost) = 0;
  // Hands a move of the window to the desktop's own move loop, as a drag on its title bar
  // does; false when the desktop cannot (the caller then moves the window itself).
  virtual bool startSystemMove(QWidget* window) = 0;
};

// The services one program instance uses. Pointers are never null once set up.
struct Services {
  MessageBoxService* messageBox = nullptr;
  ClockService* clock = nullptr;
  TrayService* tray = nullptr;
  ShellService* shell = nullptr;
  ProcessService* process = nullptr;
  SoundService* sound = nullptr;
  WindowService* window = nullptr;
};

// The services the program is using now: those a test installed, else the table the
// program installed at its start (the desktop's: useDesktopServices() in services_qt.h).
// Ends the program with a message when neither is there.
Services& services();
void setServices(Services* s);
void setDesktopServices(Services& (*table)());

// The standard error box, titled "Error" with an OK button, for an error trapped at that
// place of the program.
void showErrorBox(int number, const std::string& description, const std::string& location);
inline void showErrorBox(const RuntimeError& e, const std::string& location) {
  showErrorBox(e.number(), e.description(), location);
}

}  // namespace platform
