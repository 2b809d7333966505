// SPDX-License-Identifier: GPL-3.0-or-later
// The real platform services on Qt.
#include "platform/services_qt.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "platform/errors.h"
#include "platform/launch.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/text_window.h"

namespace platform {

namespace {

void logBox(const QString& prompt, const QString& title) {
  logEvent(("message box \"" + title + "\": " + QString(prompt).replace("\r\n", " / ").replace('\n', " / "))
               .toStdString());
}

// The box's title, text and icon, always on top.
void dress(QMessageBox& box, const QString& prompt, int flags, const QString& title) {
  box.setWindowTitle(title);
  box.setText(prompt);
  switch (flags & 0x70) {
    case mb::kCritical: box.setIcon(QMessageBox::Critical); break;
    case mb::kQuestion: box.setIcon(QMessageBox::Question); break;
    case mb::kExclamation: box.setIcon(QMessageBox::Warning); break;
    case mb::kInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

}  // namespace

QWidget* QtMessageBoxService::notice(const QString& prompt, int flags, const QString& title, QWidget* beside) {
  logBox(prompt, title);
  auto* box = new QMessageBox;
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_ShowWithoutActivating);  // the window it stands beside keeps the keyboard
  dress(*box, prompt, flags, title);
  box->addButton(QMessageBox::Ok);
  box->adjustSize();
  if (beside) {
    // Beside the window, not over it, and inside its screen.
    const QRect frame = beside->frameGeometry();
    const QRect area = beside->screen() ? beside->screen()->availableGeometry() : frame;
    QPoint at(frame.right() + 8, frame.top());
    if (at.x() + box->width() > area.right()) at.setX(std::max(area.left(), frame.left() - box->width() - 8));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - box->height())));
    box->move(at);
  }
  box->show();
  return box;
}

int QtMessageBoxService::msgBox(const QString& prompt, int flags, const QString& title) {
  logBox(prompt, title);
  QMessageBox box;
  dress(box, prompt, flags, title);
  if ((flags & 0x0F) == mb::kYesNo) {
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton((flags & mb::kDefaultButton2) ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    const int answer = box.clickedButton() == yes ? mb::kYes : mb::kNo;
    logEvent(answer == mb::kYes ? "answered Yes" : "answered No");
    return answer;
  }
  box.addButton(QMessageBox::Ok);
  box.exec();
  return mb::kOk;
}

QtTrayService::~QtTrayService() { delete icon_; }

void QtTrayService::showMessage(const QString& title, const QString& text) {
  logEvent(("tray message \"" + title + "\": " + text).toStdString());
  if (icon_ && icon_->isVisible()) icon_->showMessage(title, text, QSystemTrayIcon::Warning, 60000);
}

bool QtTrayService::available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayService::add(const QIcon& icon, const QString& tip) {
  if (!available()) {
    logEvent("no notification area: the tray icon is not shown");
    return;
  }
  if (!icon_) {
    icon_ = new QSystemTrayIcon;
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
      switch (r) {
        case QSystemTrayIcon::DoubleClick: emit activated(kDoubleClick); break;
        case QSystemTrayIcon::Context: emit activated(kContext); break;
        case QSystemTrayIcon::Trigger: emit activated(kLeftButtonUp); break;
        default: break;
      }
    });
  }
  icon_->setIcon(icon);
  icon_->setToolTip(tip);
  icon_->show();
  logEvent(("tray icon shown: " + tip).toStdString());
}

void QtTrayService::setTip(const QString& tip) {
  if (icon_) icon_->setToolTip(tip);
}

void QtTrayService::remove() {
  if (icon_) icon_->hide();
}

bool QtTrayService::shown() const { return icon_ && icon_->isVisible(); }

bool QtTrayService::desktopShowsMenu() const {
  // The same question Qt asks before it chooses between the two kinds of icon.
  if (statusNotifier_ < 0) {
    statusNotifier_ = 0;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
      QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                             QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
      statusNotifier_ = watcher.property("IsStatusNotifierHostRegistered").toBool() ? 1 : 0;
    }
  }
  return statusNotifier_ == 1;
}

void QtTrayService::setMenu(QMenu* menu) {
  // An X11 notification area gets no menu: Qt would pop it up on the press by itself,
  // ahead of the program's own handling of the click.
  if (icon_ && desktopShowsMenu()) icon_->setContextMenu(menu);
}

bool DesktopShellService::open(const QString& target, const QString& workingFolder) {
  if (const auto launch = findLaunch(target, Registry::programFolder()))
    return QProcess::startDetached(launch->program, launch->arguments, workingFolder);
  return QDesktopServices::openUrl(openAddress(target));
}

bool DesktopShellService::openTextFile(const QString& path) {
  const QString file = QFileInfo(path).absoluteFilePath();
  logEvent(("opening the text file " + file).toStdString());
  // The desktop's opener reports a missing viewer only through its exit status, so it is
  // watched, and the program's own window shows the file when it fails.
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return showTextWindow(file) != nullptr;
  auto* process = new QProcess(qApp);
  process->setProgram(opener);
  process->setArguments({QUrl::fromLocalFile(file).toString()});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, [process, file](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit || code != 0) showTextWindow(file);
    process->deleteLater();
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, file](QProcess::ProcessError e) {
    if (e != QProcess::FailedToStart) return;
    showTextWindow(file);
    process->deleteLater();
  });
  process->start();
  return true;
}

bool DesktopShellService::runProgram(const QString& path, const QString& workingFolder) {
  const bool started = QProcess::startDetached(path, {}, workingFolder);
  logEvent(((started ? "started " : "could not start ") + path).toStdString());
  return started;
}

bool DesktopShellService::openDocument(const QString& path) {
  logEvent(("opening " + path + " with the desktop's handler").toStdString());
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void QtProcessService::start(const QString& commandLine) {
  const auto launch = findLaunch(commandLine, Registry::programFolder());
  if (!launch || !QProcess::startDetached(launch->program, launch->arguments)) throw RuntimeError(err::kFileNotFound);
  logEvent(("started " + commandLine).toStdString());
}

void QtWindowService::setTopmost(QWidget* window, bool topmost) {
  if (!window) return;
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
  QWindow* handle = window->windowHandle();
  if (!handle) {
    window->setWindowFlags(flags);
    return;
  }
  // A window that exists changes its stacking in place: setting the widget's flags would
  // make it anew, and it would come back elsewhere, inactive, with the keyboard lost.
  window->overrideWindowFlags(flags);
  handle->setFlags(flags);
}

bool QtWindowService::startSystemMove(QWidget* window) {
  // On X11 the program places its windows itself, and does so exactly: the desktop's move
  // loop, started after the window has caught up with the pointer, measures from where the
  // window was before that catch-up and leaves it short by as much. Only where the program
  // cannot place a window (Wayland) is the move handed over.
  if (QGuiApplication::platformName() == QLatin1String("xcb")) return false;
  return window && window->windowHandle() && window->windowHandle()->startSystemMove();
}

namespace {

// Stands in until the audio code installs the real sound: no outputs, and a beep that
// waits its length without blocking the window.
class SilentSoundService final : public SoundService {
 public:
  void beep(int, int durationMs) override {
    QEventLoop loop;
    QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  int outputCount() override { return 0; }
  void playWaveAsync(const QString&) override {}
};

SoundService* g_realSound = nullptr;

}  // namespace

void setRealSoundService(SoundService* sound) {
  g_realSound = sound;
  if (sound) realServices().sound = sound;
}

Services& realServices() {
  static QtMessageBoxService messageBox;
  static SystemClockService clock;
  static QtTrayService* tray = new QtTrayService(qApp);
  static DesktopShellService shell;
  static QtProcessService process;
  static SilentSoundService silent;
  static QtWindowService window;
  static Services s{&messageBox, &clock, tray, &shell, &process, g_realSound ? g_realSound : &silent, &window};
  return s;
}

void useDesktopServices() { setDesktopServices(&realServices); }

}  // namespace platform
