// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop notification over D-Bus, asked without waiting for the server's answers.
#include "platform/desktop_notification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>
#include <utility>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const char kRequest[] = "request";

QDBusMessage call(const QString& method) { return QDBusMessage::createMethodCall(kService, kPath, kInterface, method); }

}  // namespace

DesktopNotification::DesktopNotification(QObject* parent, const QDBusConnection& bus) : QObject(parent), bus_(bus) {
  if (!bus_.isConnected()) return;
  bus_.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
  bus_.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
               SLOT(notificationClosed(uint, uint)));
}

DesktopNotification::~DesktopNotification() { withdraw(); }

void DesktopNotification::notify(const QString& summary, const QString& body, bool critical, bool resident,
                                 bool stopAndSnooze) {
  if (!bus_.isConnected()) return;
  summary_ = summary;
  body_ = body;
  critical_ = critical;
  resident_ = resident;
  stopAndSnooze_ = stopAndSnooze;
  // Whether the server shows buttons at all, then the notification itself.
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
  watcher->setProperty(kRequest, ++request_);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotification::capabilitiesAnswered);
}

void DesktopNotification::capabilitiesAnswered(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  const QDBusPendingReply<QStringList> capabilities = *watcher;
  // No server (or a newer request came meanwhile): nothing to show.
  if (capabilities.isError() || watcher->property(kRequest).toInt() != request_) return;
  QStringList actions;
  if (stopAndSnooze_ && capabilities.value().contains(QStringLiteral("actions")))
    actions = {QStringLiteral("stop"), QStringLiteral("Stop"), QStringLiteral("snooze"), QStringLiteral("Snooze")};
  QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(critical_ ? 2 : 1))},
                    {QStringLiteral("resident"), resident_}};
  const QString entry = QGuiApplication::desktopFileName();
  if (!entry.isEmpty()) hints.insert(QStringLiteral("desktop-entry"), entry);
  QDBusMessage notify = call(QStringLiteral("Notify"));
  // A resident notification never expires by itself; others after the server's own time.
  notify << QGuiApplication::applicationDisplayName() << id_ << entry << summary_ << body_ << actions << hints
         << (resident_ ? 0 : -1);
  auto* next = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
  next->setProperty(kRequest, request_);
  connect(next, &QDBusPendingCallWatcher::finished, this, &DesktopNotification::notifyAnswered);
}

void DesktopNotification::notifyAnswered(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  const QDBusPendingReply<uint> shown = *watcher;
  if (shown.isError()) return;
  if (watcher->property(kRequest).toInt() == request_) {
    id_ = shown.value();
  } else if (shown.value() != id_) {
    // Withdrawn while the server was showing it.
    bus_.asyncCall(call(QStringLiteral("CloseNotification")) << shown.value());
  }
}

void DesktopNotification::withdraw() {
  ++request_;
  if (id_ == 0) return;
  bus_.asyncCall(call(QStringLiteral("CloseNotification")) << std::exchange(id_, 0u));
}

void DesktopNotification::actionInvoked(uint id, const QString& action) {
  if (id == 0 || id != id_) return;
  if (action == QLatin1String("stop")) emit stopAsked();
  if (action == QLatin1String("snooze")) emit snoozeAsked();
}

void DesktopNotification::notificationClosed(uint id, uint) {
  if (id != 0 && id == id_) id_ = 0;
}

}  // namespace platform
