// SPDX-License-Identifier: GPL-3.0-or-later
// Alarm's entry point.
#include <QApplication>
#include <QFont>
#include <cstring>

#include "app/frmMain.h"
#include "app/program_style.h"
#include "audio/media_module.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/services_qt.h"
#include "platform/single_instance.h"
#include "program/desktop_session.h"
#include "program/startup.h"
#include "install_layout.h"
#include "version.h"

int main(int argc, char** argv) {
  platform::useDesktopServices();
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--log") == 0) platform::setLogFile(argv[i + 1]);
  Registry::setStartName(QString::fromLocal8Bit(argv[0]));
  // The hint names the command as it was typed, so it fits a build folder and an
  // installed copy alike.
  if (!desktop_session::choosePlatform(desktop_session::commandName(argv[0]))) return 1;
  // The clock repaints a small image once a second; through X shared memory every repaint
  // also brings back a completion event that wakes the program twice more.
  desktop_session::setForQt("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
  desktop_session::restoreForChildren();
  QApplication::setApplicationName(QString::fromUtf8(version::kProductName));
  QApplication::setApplicationVersion(QString::fromUtf8(version::kVersionText));
  // The desktop shows the program's own name and icon beside its notifications.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(install_layout::kAppId));
  // The program lives on while its window is hidden in the notification area; it ends
  // when the main window unloads.
  QApplication::setQuitOnLastWindowClosed(false);
  ProgramStyle::install();
  // Text as the classic Windows dialogs draw it: no kerning or ligatures where a script
  // does not need shaping (scripts that do are still shaped). The text shaper then stays
  // out of the idle clock's memory, about 0.6 MB.
  QFont font = QApplication::font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  QApplication::setFont(font);

  // The sound code is loaded on the first sound, not at start.
  audio::ModuleSoundService sound;
  platform::setRealSoundService(&sound);

  platform::LockFileInstanceGuard instance(Registry::programFileName().toStdString());
  auto window = startup::Main(instance);
  if (!window) return 0;
  return QApplication::exec();
}
