// SPDX-License-Identifier: GPL-3.0-or-later
// Starting a program and waiting for it while the window keeps running: ShellandWait and
// the volume application it starts for "Set Volume".
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

// A program started by a launcher; exited() is emitted once it has ended.
class RunningProgram : public QObject {
  Q_OBJECT
 public:
  virtual bool hasExited() const = 0;
  // Brings its window above the program's own (the dialog that started it stays on top
  // of other windows); false while it shows none.
  virtual bool bringForward() { return false; }
 signals:
  void exited();
};

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts a command line (program and arguments split as typed, no shell). Raises
  // RuntimeError 53 when the program cannot be found or started.
  virtual std::unique_ptr<RunningProgram> start(const QString& commandLine) = 0;
};

// The launcher of real processes, and the one in use (tests install a fake).
ProgramLauncher& programLauncher();
void setProgramLauncher(ProgramLauncher* launcher);  // nullptr goes back to the real one

// Brings the window of the program ShellandWait waits for forward: a second press of the
// button that started it shows the open one rather than start another. False when none waits.
bool bringWaitedProgramForward();

// The end of the wait: the time of day (seconds since midnight) is past the end and, when the
// wait crosses midnight, midnight has passed (the time is below the start).
bool shellWaitOver(double timeOfDay, double start, double end, bool crossesMidnight, int32_t TimeOutValue);

// Starts ExeFullPath and waits until it ends or TimeOutValue seconds have passed (0: no
// limit), the user interface running meanwhile. Sets volumeAppDone and returns true; when the
// program cannot be started, clears volumeAppDone, shows the "Oops" box and returns false.
// The time of day comes from the clock service and is checked every pollMs milliseconds.
bool ShellandWait(const QString& ExeFullPath, int32_t TimeOutValue, bool& volumeAppDone, int pollMs = 100);

// The volume application for the system's name: the desktop's mixer program when one is
// installed, otherwise our own volume window (alarm-volume beside the program).
QString volumeApplicationCommand(const std::string& versionName);

}  // namespace audio
