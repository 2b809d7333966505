// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the alarm command.
#include "alarm/command_start.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "platform/errors.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace engine {

bool isProgramFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = f.read(4);
  return head == QByteArray("\x7f" "ELF", 4) || head.startsWith("#!");
}

void startCommand(const QString& commandLine, bool msdos) {
  auto& s = platform::services();
  if (msdos) {
    s.process->start(commandLine);
    return;
  }
  // The opener runs from the program's folder, so a relative name means a file there (the
  // working folder of a program started at log-on is anyone's guess).
  const QString folder = Registry::programFolder();
  const bool address = commandLine.contains(QStringLiteral("://"));
  const QString named = address ? QString() : QDir(folder).filePath(commandLine);
  bool started = false;
  if (QFileInfo(named).isFile()) {
    // The whole text names a file: a program runs, anything else is opened for what it is,
    // also when it carries an executable mark (as every file on FAT or NTFS media does).
    const QString file = QFileInfo(named).absoluteFilePath();
    started = isProgramFile(file) ? s.shell->runProgram(file, folder) : s.shell->openDocument(file);
  } else {
    started = s.shell->open(QFileInfo::exists(named) ? named : commandLine, folder);
  }
  if (!started) {
    platform::logEvent(("the command " + commandLine + " could not be started").toStdString());
    throw platform::RuntimeError(platform::err::kFileNotFound);
  }
}

}  // namespace engine
