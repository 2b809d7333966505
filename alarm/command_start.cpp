// Starts the alarm command.
#include "alarm/command_start.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace engine {

void startCommand(const QString& commandLine, bool msdos) {
  auto& s = platform::services();
  if (msdos) {
    s.process->start(commandLine);
    return;
  }
  // The opener runs from the program's folder, so a relative name means a file there.
  QString target = commandLine;
  if (!target.contains(QStringLiteral("://")) && QFileInfo(target).isRelative()) {
    const QString inFolder = QDir(Registry::programFolder()).filePath(target);
    if (QFileInfo::exists(inFolder)) target = inFolder;
  }
  if (!s.shell->open(target, Registry::programFolder())) platform::logEvent(("the desktop could not open " + commandLine).toStdString());
}

}  // namespace engine
