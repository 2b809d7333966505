// SPDX-License-Identifier: GPL-3.0-or-later
// ShellandWait and the program launcher.
#include "audio/shell_wait.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <csignal>

#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/foreign_window.h"
#include "platform/log.h"
#include "platform/services.h"

namespace audio {

namespace {

// A detached process watched through a pidfd (readable once the process has ended), or by a
// slow check of /proc where pidfds are not available.
class DetachedProgram final : public RunningProgram {
 public:
  explicit DetachedProgram(qint64 pid) : pid_(pid) {
#ifdef SYS_pidfd_open
    fd_ = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#endif
    if (fd_ >= 0) {
      notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
      connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { markExited(); });
    } else {
      poll_.setInterval(250);
      connect(&poll_, &QTimer::timeout, this, [this] {
        if (!alive()) markExited();
      });
      poll_.start();
    }
  }
  ~DetachedProgram() override {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
  }
  bool hasExited() const override { return exited_; }
  bool bringForward() override { return !exited_ && platform::bringProcessWindowsForward(pid_); }

 private:
  bool alive() const {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype paren = line.lastIndexOf(')');
    return paren < 0 || paren + 2 >= line.size() || line[paren + 2] != 'Z';
  }
  void markExited() {
    if (exited_) return;
    exited_ = true;
    if (notifier_) notifier_->setEnabled(false);
    poll_.stop();
    emit exited();
  }

  qint64 pid_;
  int fd_ = -1;
  bool exited_ = false;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer poll_;
};

class ProcessLauncher final : public ProgramLauncher {
 public:
  std::unique_ptr<RunningProgram> start(const QString& commandLine) override {
    const QStringList parts = QProcess::splitCommand(commandLine);
    QString program;
    if (!parts.isEmpty()) {
      const QFileInfo fi(parts.first());
      program = parts.first().contains('/') ? (fi.isFile() && fi.isExecutable() ? fi.absoluteFilePath() : QString())
                                            : QStandardPaths::findExecutable(parts.first());
    }
    qint64 pid = 0;
    if (program.isEmpty() || !QProcess::startDetached(program, parts.mid(1), QString(), &pid) || pid <= 0)
      throw platform::RuntimeError(platform::err::kFileNotFound);
    platform::logEvent(("started " + commandLine + " and waiting for it").toStdString());
    return std::make_unique<DetachedProgram>(pid);
  }
};

ProgramLauncher* g_launcher = nullptr;
RunningProgram* g_waited = nullptr;  // the program ShellandWait waits for

// Keeps the waited program in g_waited while it lives in the wait.
struct Waiting {
  explicit Waiting(RunningProgram* p) { g_waited = p; }
  ~Waiting() { g_waited = nullptr; }
};

QString quoted(const QString& path) { return path.contains(' ') ? '"' + path + '"' : path; }

double timeOfDay() {
  return platform::services().clock->now().time().msecsSinceStartOfDay() / 1000.0;
}

}  // namespace

ProgramLauncher& programLauncher() {
  static ProcessLauncher real;
  return g_launcher ? *g_launcher : real;
}

void setProgramLauncher(ProgramLauncher* launcher) { g_launcher = launcher; }

bool bringWaitedProgramForward() { return g_waited && g_waited->bringForward(); }

bool shellWaitOver(double now, double start, double end, bool crossesMidnight, int32_t TimeOutValue) {
  return TimeOutValue != 0 && now > end && (!crossesMidnight || now < start);
}

bool ShellandWait(const QString& ExeFullPath, int32_t TimeOutValue, bool& volumeAppDone, int pollMs) {
  try {
    const double start = platform::roundHalfEven(timeOfDay());
    double end = 0;
    bool crossesMidnight = false;
    if (TimeOutValue > 0) {
      end = start + TimeOutValue;
      if (end >= 86400) {
        end -= 86400;
        crossesMidnight = true;
      }
    }
    std::unique_ptr<RunningProgram> program = programLauncher().start(ExeFullPath);
    const Waiting waiting(program.get());

    // Wait on the program's end and a slow timer for the time-out; every event of the
    // program is handled meanwhile.
    auto over = [&] {
      return program->hasExited() || shellWaitOver(timeOfDay(), start, end, crossesMidnight, TimeOutValue);
    };
    if (!over()) {
      QEventLoop loop;
      QTimer poll;
      poll.setInterval(pollMs);
      auto check = [&] {
        if (over()) loop.quit();
      };
      QObject::connect(&poll, &QTimer::timeout, &loop, check);
      QObject::connect(program.get(), &RunningProgram::exited, &loop, check);
      // The started window comes above the dialog that started it (which stays on top of
      // other windows) as soon as it shows, for the first seconds.
      QTimer forward;
      forward.setInterval(100);
      int tries = 50;
      QObject::connect(&forward, &QTimer::timeout, &loop, [&] {
        if (program->bringForward() || --tries <= 0) forward.stop();
      });
      forward.start();
      poll.start();
      loop.exec();
    }
    platform::logEvent(program->hasExited() ? "the started program has ended" : "stopped waiting for the started program");
    volumeAppDone = true;
    return true;
  } catch (const std::exception& e) {
    platform::logEvent(std::string("cannot start ") + ExeFullPath.toStdString() + ": " + e.what());
    volumeAppDone = false;
    platform::services().messageBox->msgBox(QStringLiteral("Sorry, couldn't start the audio volume application.  "),
                                            platform::mb::kExclamation, QStringLiteral("Oops"));
    return false;
  }
}

QString volumeApplicationCommand(const std::string& versionName) {
  static const char* const older[] = {"Windows 95",   "Windows 98", "Windows ME",
                                      "Windows NT 3", "Windows NT 4", "Windows 2000",
                                      "Windows XP",   "Windows Server 2003"};
  for (const char* name : older)
    if (versionName == name) return QStringLiteral("sndvol32.exe /t");
  if (versionName == "Windows Vista" || versionName == "Windows 7") return QStringLiteral("sndvol.exe /t");
  // Elsewhere: the desktop's own mixer, else ours.
  for (const char* mixer : {"pavucontrol", "pavucontrol-qt", "mate-volume-control"}) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(mixer));
    if (!found.isEmpty()) return quoted(found);
  }
  const QString ours = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("alarm-volume"));
  return QFileInfo(ours).isExecutable() ? quoted(ours) : QStringLiteral("alarm-volume");
}

}  // namespace audio
