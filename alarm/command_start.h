// Starts the alarm command: the one rule the preferences' Test button and the alarm share.
#pragma once

class QString;

namespace engine {

// msdos: the program and its arguments as typed, through the process service (no shell, so
// ";", "|", "$( )" and quotes reach the program literally); RuntimeError 53 when the program
// cannot be found. Otherwise the desktop's opener opens the whole text, a relative path
// taken from the program's folder; its result is not checked. Neither waits.
void startCommand(const QString& commandLine, bool msdos);

}  // namespace engine
