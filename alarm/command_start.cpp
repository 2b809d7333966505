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
    try {
      s.process->start(commandLine);
    } catch (const platform::RuntimeError& e) {
      if (e.number() != platform::err::kFileNotFound) throw;
      throw platform::RuntimeError(platform::err::kFileNotFound, "no program of that name was found that could run");
    }
    return;
  }
  // The opener runs from the program's folder, so a relative name means a file there (the
  // working folder of a program started at log-on is anyone's guess).
  const QString folder = Registry::programFolder();
  const bool address = commandLine.contains(QStringLiteral("://"));
  const QString named = address ? QString() : QDir(folder).filePath(commandLine);
  bool started = false;
  const char* failure = "nothing on this desktop could open it";
  if (QFileInfo(named).isFile()) {
    // The whole text names a file: a program runs, anything else is opened for what it is,
    // also when it carries an executable mark (as every file on FAT or NTFS media does).
    const QString file = QFileInfo(named).absoluteFilePath();
    if (isProgramFile(file)) {
      started = s.shell->runProgram(file, folder);
      failure = "the program could not be run";
    } else {
      started = s.shell->openDocument(file);
      failure = "no program opens this kind of file";
    }
  } else {
    started = s.shell->open(QFileInfo::exists(named) ? named : commandLine, folder);
  }
  if (!started) {
    platform::logEvent(("the command " + commandLine + " could not be started: " + failure).toStdString());
    throw platform::RuntimeError(platform::err::kFileNotFound, failure);
  }
}

}  // namespace engine
