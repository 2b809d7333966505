// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a file is there to be read.
#pragma once

#include <QFile>
#include <QString>

// True when the file opens for reading (a folder, a missing file or one without read
// permission is not there).
inline bool fileexists(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly);
}
