// SPDX-License-Identifier: GPL-3.0-or-later
// The log-on entry names the launcher of an installed program, which stays the same path
// whatever the program folder is.
#include "platform/autostart_program.h"

#include <QDir>
#include <QFileInfo>

#include "install_layout.h"
#include "version.h"

QString autostartProgram(const QString& programFile) {
  const QFileInfo program(programFile);
  const QString folder = QDir::cleanPath(program.absolutePath());
  const bool inProgramDir = folder.endsWith(QLatin1Char('/') + QLatin1String(install_layout::kProgramDir));
  // A copy under another name keeps its own settings, so it starts itself.
  if (inProgramDir && program.fileName() == QLatin1String(version::kProductName)) {
    const QFileInfo launcher(QDir::cleanPath(folder + QLatin1Char('/') + QLatin1String(install_layout::kLauncherFromProgramDir)));
    if (launcher.isFile() && launcher.isExecutable()) return launcher.filePath();
  }
  return program.absoluteFilePath();
}
