// SPDX-License-Identifier: GPL-3.0-or-later
// The wake alarm through its helper.
#include "platform/wake_alarm.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include "platform/log.h"

namespace platform {

namespace {

// The text as one word of a shell command: as it is when it holds only characters no shell
// reads as special, otherwise in single quotes (a quote inside as '\'').
QString shellWord(const QString& text) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
  if (plain.match(text).hasMatch()) return text;
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
  return "'" + quoted + "'";
}

}  // namespace

WakeAlarm::WakeAlarm(QString helper, QStringList wrapper, QObject* parent)
    : QObject(parent), helper_(std::move(helper)), wrapper_(std::move(wrapper)) {}

WakeAlarm::~WakeAlarm() { end(); }

void WakeAlarm::end() {
  armed_ = false;
  if (!process_) return;
  process_->disconnect(this);
  process_->terminate();
  if (!process_->waitForFinished(1000)) process_->kill();
  process_->waitForFinished(1000);
  delete process_;
  process_ = nullptr;
}

void WakeAlarm::wakeFor(const std::optional<QDateTime>& alarm) {
  // A little before the alarm's second, or at it when that is nearer; none once it is due.
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  std::optional<qint64> at;
  if (alarm && alarm->toSecsSinceEpoch() > now)
    at = alarm->toSecsSinceEpoch() - kLeadSeconds > now ? alarm->toSecsSinceEpoch() - kLeadSeconds
                                                        : alarm->toSecsSinceEpoch();
  if (at == wakeAt_ && (process_ || !at)) return;
  if (at != wakeAt_) restarts_ = 0;
  wakeAt_ = at;
  end();
  if (!at || refused_) return;
  if (!QFileInfo(helper_).isExecutable()) {
    logEvent(("wake alarm: no helper at " + helper_ + "; the computer is not woken for the alarm").toStdString());
    refused_ = true;
    return;
  }
  start();
}

void WakeAlarm::start() {
  woke_ = false;
  auto* process = process_ = new QProcess(this);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(process, &QProcess::readyReadStandardOutput, this, &WakeAlarm::readHelper);
  connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
    helperEnded(process, status == QProcess::NormalExit ? "ended with status " + QString::number(code)
                                                        : QStringLiteral("was ended by a signal"));
  });
  connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) helperEnded(process, "could not be started: " + process->errorString());
  });
  QStringList args = wrapper_;
  args << helper_ << QString::number(*wakeAt_);
  const QString program = args.takeFirst();
  // Its standard input stays open while the alarm is wanted: when this program ends, however
  // it ends, the helper sees its end and ends too.
  process->start(program, args);
}

void WakeAlarm::helperEnded(QProcess* process, const QString& how) {
  if (process != process_) return;
  readHelper();  // its last lines: "woke", or why it cannot
  if (process != process_) return;
  armed_ = false;
  process_->disconnect(this);
  process_->deleteLater();
  process_ = nullptr;
  // An end it announced, or a moment that has come meanwhile: there is nothing left to hold.
  if (woke_ || refused_ || *wakeAt_ <= QDateTime::currentSecsSinceEpoch()) return;
  if (restarts_ >= kRestarts) {
    logEvent(("wake alarm: the helper " + how + ", again; the computer is not woken for the alarm").toStdString());
    refused_ = true;
    emit cannotWake(QString());
    return;
  }
  ++restarts_;
  logEvent(("wake alarm: the helper " + how + "; starting it again").toStdString());
  start();
}

void WakeAlarm::readHelper() {
  while (process_ && process_->canReadLine()) {
    const QString line = QString::fromUtf8(process_->readLine()).trimmed();
    if (line.startsWith(QLatin1String("armed "))) {
      armed_ = true;
      logEvent(("wake-up at " + QDateTime::fromSecsSinceEpoch(line.mid(6).toLongLong()).toString(Qt::ISODate))
                   .toStdString());
    } else if (line.startsWith(QLatin1String("cannot: "))) {
      logEvent(("wake alarm: " + line).toStdString());
      refused_ = true;
      emit cannotWake("sudo setcap cap_wake_alarm+ep " + shellWord(QFileInfo(helper_).absoluteFilePath()));
    } else if (line == QLatin1String("woke")) {
      armed_ = false;
      woke_ = true;
      logEvent("wake alarm: woken");
    }
  }
}

}  // namespace platform
