// SPDX-License-Identifier: GPL-3.0-or-later
// The program that the log-on entry starts.
#pragma once

#include <QString>

// The installed launcher (<prefix>/bin/alarm) when programFile is the program in an
// installed program folder (<prefix>/lib/alarm/Alarm) with its launcher in place; the
// program file itself otherwise, as when it runs from a build folder.
QString autostartProgram(const QString& programFile);
