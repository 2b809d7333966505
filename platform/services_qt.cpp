// The real platform services on Qt.
#include "platform/services_qt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include "platform/errors.h"
#include "platform/log.h"

namespace platform {

int QtMessageBoxService::msgBox(const QString& prompt, int flags, const QString& title) {
  logEvent(("message box \"" + title + "\": " + QString(prompt).replace("\r\n", " / ").replace('\n', " / "))
               .toStdString());
  QMessageBox box;
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

void QtTrayService::remove() {
  if (icon_) icon_->hide();
}

bool QtTrayService::shown() const { return icon_ && icon_->isVisible(); }

namespace {

// The program named by a command, when it can be found and run.
QString findProgram(const QString& program) {
  if (program.isEmpty()) return {};
  if (program.contains('/')) {
    QFileInfo fi(program);
    return fi.isFile() && fi.isExecutable() ? fi.absoluteFilePath() : QString();
  }
  return QStandardPaths::findExecutable(program);
}

}  // namespace

bool DesktopShellService::open(const QString& target, const QString& workingFolder) {
  const QStringList parts = QProcess::splitCommand(target);
  if (!parts.isEmpty()) {
    const QString program = findProgram(parts.first());
    if (!program.isEmpty()) return QProcess::startDetached(program, parts.mid(1), workingFolder);
  }
  const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
  return QDesktopServices::openUrl(url);
}

bool DesktopShellService::openTextFile(const QString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void QtProcessService::start(const QString& commandLine) {
  const QStringList parts = QProcess::splitCommand(commandLine);
  const QString program = parts.isEmpty() ? QString() : findProgram(parts.first());
  if (program.isEmpty()) throw RuntimeError(err::kFileNotFound);
  if (!QProcess::startDetached(program, parts.mid(1))) throw RuntimeError(err::kFileNotFound);
  logEvent(("started " + commandLine).toStdString());
}

void QtWindowService::setTopmost(QWidget* window, bool topmost) {
  if (!window) return;
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (visible) window->show();  // changing the flags hides a window
}

void QtWindowService::startSystemMove(QWidget* window) {
  if (window && window->windowHandle()) window->windowHandle()->startSystemMove();
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
Services* g_services = nullptr;

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

Services& services() { return g_services ? *g_services : realServices(); }

void setServices(Services* s) { g_services = s; }

}  // namespace platform
