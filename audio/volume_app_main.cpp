// SPDX-License-Identifier: GPL-3.0-or-later
// alarm-volume: sets the alarm's speakers and wave volumes where the desktop has no mixer program.
#include <QApplication>

#include "audio/volume.h"
#include "audio/volume_window.h"
#include "platform/services_qt.h"

int main(int argc, char** argv) {
  platform::useDesktopServices();
  QApplication app(argc, argv);
  audio::VolumeWindow window(audio::volumeModule());
  window.show();
  return app.exec();
}
