// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the alarm command: the one rule the preferences' Test button and the alarm share.
#pragma once

class QString;

namespace engine {

// msdos: the program and its arguments as typed, through the process service (no shell, so
// ";", "|", "$( )" and quotes reach the program literally). Otherwise the whole text is
// first one name, a relative one taken from the program's folder (never the working
// folder): a file that is a program (an ELF file or a script starting with "#!") runs
// there, any other file is opened by the desktop's handler for its type. A text that names
// no file goes to the desktop's opener, which starts a program its first word names with
// the other words as arguments (commands stored that way keep working) and opens anything
// else as an address. Either way RuntimeError 53 when it cannot be started, its description
// saying what failed in words for the user. Neither waits.
void startCommand(const QString& commandLine, bool msdos);

// Whether the file is a program: an ELF file or a script starting with "#!".
bool isProgramFile(const QString& path);

}  // namespace engine
