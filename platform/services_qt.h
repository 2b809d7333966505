// SPDX-License-Identifier: GPL-3.0-or-later
// The real platform services on Qt.
#pragma once

#include <memory>

#include "platform/services.h"

class QSystemTrayIcon;

namespace platform {

class QtMessageBoxService final : public MessageBoxService {
 public:
  int msgBox(const QString& prompt, int flags, const QString& title) override;
  QWidget* notice(const QString& prompt, int flags, const QString& title, QWidget* beside = nullptr) override;
};

class SystemClockService final : public ClockService {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class QtTrayService final : public TrayService {
 public:
  using TrayService::TrayService;
  ~QtTrayService() override;
  bool available() const override;
  void add(const QIcon& icon, const QString& tip) override;
  void setTip(const QString& tip) override;
  void remove() override;
  bool shown() const override;
  bool desktopShowsMenu() const override;
  void setMenu(QMenu* menu) override;
  void showMessage(const QString& title, const QString& text) override;

 private:
  QSystemTrayIcon* icon_ = nullptr;
  mutable int statusNotifier_ = -1;  // not asked yet
};

class DesktopShellService final : public ShellService {
 public:
  bool open(const QString& target, const QString& workingFolder = QString()) override;
  bool openTextFile(const QString& path) override;
  bool runProgram(const QString& path, const QString& workingFolder) override;
  bool openDocument(const QString& path) override;
};

class QtProcessService final : public ProcessService {
 public:
  void start(const QString& commandLine) override;
};

class QtWindowService final : public WindowService {
 public:
  void setTopmost(QWidget* window, bool topmost) override;
  bool startSystemMove(QWidget* window) override;
};

// The real services, created on first use and living until the program ends.
Services& realServices();
// Makes them the table services() falls back on: the program and the tests call it first
// thing.
void useDesktopServices();

// Installs the sound service the program uses (the audio code provides the real one).
void setRealSoundService(SoundService* sound);

}  // namespace platform
