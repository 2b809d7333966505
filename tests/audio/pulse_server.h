// SPDX-License-Identifier: GPL-3.0-or-later
// A private PulseAudio server with one null sink ("nul") for the tests of the real audio
// path: its own runtime folder and socket, so tests running side by side never share one.
// With ALARM_TEST_SOUND_SERVER=pipewire it is PipeWire with its PulseAudio server and
// WirePlumber instead, on a private session bus, as a Debian 12 desktop runs them.
#pragma once

#include <sys/prctl.h>
#include <unistd.h>

#include <QProcess>
#include <csignal>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <string>
#include <vector>

namespace audio::testing {

class PulseServer {
 public:
  // Points this process at the server-to-be; call before any audio library is used.
  PulseServer() : pipewire_(qgetenv("ALARM_TEST_SOUND_SERVER") == "pipewire") {
    const std::vector<const char*> tools =
        pipewire_ ? std::vector<const char*>{"pipewire", "pipewire-pulse", "wireplumber", "dbus-run-session", "pactl", "parec"}
                  : std::vector<const char*>{"pulseaudio", "pactl", "parec"};
    for (const char* tool : tools)
      if (QStandardPaths::findExecutable(tool).isEmpty()) missing_ += std::string(missing_.empty() ? "" : ", ") + tool;
    if (!missing_.empty()) {
      reason_ = "needs " + missing_ +
                (pipewire_ ? " (Debian packages pipewire, pipewire-pulse, wireplumber, dbus, pulseaudio-utils)"
                           : " (Debian packages pulseaudio, pulseaudio-utils)");
      return;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/alarm-pulse-XXXXXX");
    // PipeWire's PulseAudio server listens where a desktop's does, in the runtime folder.
    socket_ = dir_->path() + (pipewire_ ? "/pulse/native" : "/native");
    qputenv("XDG_RUNTIME_DIR", dir_->path().toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket_).toLocal8Bit());
    qputenv("PULSE_COOKIE", (dir_->path() + "/cookie").toLocal8Bit());
  }

  // Starts the server and waits until it answers; false (with a reason) when it does not.
  bool start() {
    if (!reason_.empty()) return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_->path());
    env.insert("XDG_CONFIG_HOME", dir_->path() + "/config");
    server_.setProcessEnvironment(env);
    // The server never outlives the test, even a killed one, and never holds the test's
    // output open. PipeWire's three servers and their bus form one process group, which
    // goes as a whole.
    server_.setChildProcessModifier([] {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      ::setpgid(0, 0);
    });
    server_.setStandardOutputFile(dir_->path() + "/server.log");
    server_.setStandardErrorFile(dir_->path() + "/server.log", QIODevice::Append);
    if (pipewire_)
      server_.start("sh", {"-c", "trap 'trap - TERM; kill 0' TERM; dbus-run-session -- sh -c 'pipewire & "
                                 "until [ -S \"$XDG_RUNTIME_DIR/pipewire-0\" ]; do sleep 0.1; done; "
                                 "wireplumber & pipewire-pulse & wait' & wait"});
    else
      server_.start("pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                                   "--log-level=error", "--disallow-exit",
                                   "--load=module-null-sink sink_name=nul",
                                   "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_});
    if (!server_.waitForStarted(5000)) {
      reason_ = pipewire_ ? "pipewire did not start" : "pulseaudio did not start";
      return false;
    }
    bool sink = !pipewire_;
    for (int i = 0; i < 150; ++i) {
      if (server_.state() != QProcess::Running) break;
      bool up = false;
      const QString info = pactl({"info"}, &up, 5000);
      if (up) {
        if (pipewire_ && !info.contains("PipeWire")) {
          reason_ = "the server that answered is not PipeWire";
          break;
        }
        if (!sink) sink = pactlOk({"load-module", "module-null-sink", "sink_name=nul"});
        // PipeWire takes the default sink once its session manager has seen the new one.
        pactl({"set-default-sink", "nul"});
        if (sink && pactl({"get-default-sink"}).trimmed() == "nul") return true;
      }
      QThread::msleep(100);
    }
    if (reason_.empty())
      reason_ = pipewire_ ? "the private pipewire server did not answer" : "the private pulseaudio server did not answer";
    stop();
    return false;
  }

  void stop() {
    if (server_.state() == QProcess::NotRunning) return;
    if (pipewire_) ::kill(-static_cast<pid_t>(server_.processId()), SIGTERM);
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
      server_.kill();
      server_.waitForFinished(2000);
    }
  }

  ~PulseServer() { stop(); }

  // Runs pactl against this server and returns its output ("" when it hangs); ok tells
  // whether it ended well.
  QString pactl(const QStringList& args, bool* ok = nullptr, int timeoutMs = 10000) const {
    QProcess p;
    p.start("pactl", args);
    const bool ended = p.waitForFinished(timeoutMs);
    if (!ended) {
      p.kill();
      p.waitForFinished();
    }
    if (ok) *ok = ended && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return ended ? QString::fromLocal8Bit(p.readAllStandardOutput()) : QString();
  }
  bool pactlOk(const QStringList& args) const {
    bool ok = false;
    pactl(args, &ok, 5000);
    return ok;
  }

  const std::string& reason() const { return reason_; }
  QString dir() const { return dir_ ? dir_->path() : QString(); }

 private:
  bool pipewire_;
  std::string missing_;
  std::string reason_;
  std::unique_ptr<QTemporaryDir> dir_;
  QString socket_;
  QProcess server_;
};

}  // namespace audio::testing
