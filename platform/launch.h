// SPDX-License-Identifier: GPL-3.0-or-later
// How the shell and process services carry out a command line: the program its first word
// names, with the other words as its arguments exactly as typed (no shell in between), and
// the address the desktop's opener gets for a text that names no program. Nothing here
// looks in the working folder: a program started at log-on has an arbitrary one.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace platform {

struct Launch {
  QString program;  // absolute path of a file that can be run
  QStringList arguments;
};

// The first word as a program (a path, a relative one taken from `folder`, or a name
// without a slash looked up on the PATH) and the rest as its arguments; nothing when the
// first word names no program that can run.
std::optional<Launch> findLaunch(const QString& commandLine, const QString& folder);

// An existing file's address for a full path, else the address the text reads as (a web
// address, a path).
QUrl openAddress(const QString& target);

}  // namespace platform
