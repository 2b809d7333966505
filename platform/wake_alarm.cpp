// SPDX-License-Identifier: GPL-3.0-or-later
// The wake alarm through its helper.
#include "platform/wake_alarm.h"

#include <QFileInfo>
#include <QProcess>

#include "platform/log.h"

namespace platform {

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
  const std::optional<qint64> at =
      alarm ? std::optional<qint64>(alarm->toSecsSinceEpoch() - kLeadSeconds) : std::nullopt;
  if (at == wakeAt_ && (process_ || !at)) return;
  wakeAt_ = at;
  end();
  if (!at || refused_) return;
  if (!QFileInfo(helper_).isExecutable()) {
    logEvent(("wake alarm: no helper at " + helper_ + "; the computer is not woken for the alarm").toStdString());
    refused_ = true;
    return;
  }
  process_ = new QProcess(this);
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(process_, &QProcess::readyReadStandardOutput, this, &WakeAlarm::readHelper);
  QStringList args = wrapper_;
  args << helper_ << QString::number(*at);
  const QString program = args.takeFirst();
  process_->start(program, args);
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
      emit cannotWake("sudo setcap cap_wake_alarm+ep " + QFileInfo(helper_).absoluteFilePath());
    } else if (line == QLatin1String("woke")) {
      armed_ = false;
      logEvent("wake alarm: woken");
    }
  }
}

}  // namespace platform
