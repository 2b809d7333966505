// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines split into a program and its arguments, and the opener's address.
#include "platform/launch.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

std::optional<Launch> findLaunch(const QString& commandLine, const QString& folder) {
  const QStringList parts = QProcess::splitCommand(commandLine);
  if (parts.isEmpty() || parts.first().isEmpty()) return std::nullopt;
  const QString& first = parts.first();
  QString program;
  if (first.contains('/')) {
    const QFileInfo fi(QDir(folder).filePath(first));
    if (fi.isFile() && fi.isExecutable()) program = fi.absoluteFilePath();
  } else {
    program = QStandardPaths::findExecutable(first);
  }
  if (program.isEmpty()) return std::nullopt;
  return Launch{program, parts.mid(1)};
}

QUrl openAddress(const QString& target) {
  if (QFileInfo(target).isRelative() || !QFileInfo::exists(target)) return QUrl::fromUserInput(target);
  // Cleaned: a path that begins with two slashes would otherwise be read as a network
  // host's file ("//home/me/a" as the host "home").
  return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(target).absoluteFilePath()));
}

}  // namespace platform
