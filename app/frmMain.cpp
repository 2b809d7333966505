// The main window.
#include "app/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>

#include "app/registry.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/services.h"
#include "version.h"

std::array<char, 64> makeTipField(const QString& text) {
  std::array<char, 64> field;
  field.fill(' ');
  const QByteArray bytes = text.toLocal8Bit() + '\0';
  const auto n = std::min<qsizetype>(bytes.size(), static_cast<qsizetype>(field.size()));
  std::copy_n(bytes.constData(), n, field.begin());
  return field;
}

QString NotifyIconData::tip() const {
  const auto end = std::find(szTip.begin(), szTip.end(), '\0');
  return QString::fromLocal8Bit(szTip.data(), static_cast<qsizetype>(end - szTip.begin()));
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Alarm"));
  setWindowIcon(QIcon(QStringLiteral(":/alarm/icon.png")));
  pichook_ = new QWidget(this);
  pichook_->setObjectName(QStringLiteral("pichook"));
  pichook_->hide();
  Form_Initialize();
}

frmMain::~frmMain() = default;

void frmMain::Form_Initialize() {
  try {
    const QString title = QString::fromUtf8(version::kProductName);
    const QString versionText = QStringLiteral("%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision);
    nid_.cbSize = 88;
    nid_.hWnd = pichook_;
    nid_.uID = 1;
    nid_.uFlags = 7;
    nid_.uCallbackMessage = 0x200;
    nid_.szTip = makeTipField(title + " " + versionText);
    auto& tray = *platform::services().tray;
    tray.add(windowIcon(), nid_.tip());
  } catch (const platform::RuntimeError& e) {
    platform::services().messageBox->msgBox(
        QString::fromStdString(platform::startupErrorText(e.number(), e.description(), "frmMain, Form_Initialize")),
        platform::mb::kOkOnly, QStringLiteral("Error"));
  }
}

void frmMain::Form_Load() {
  platform::ignoreErrors([] { Registry::CreateRegistryKey(Registry::settingsKey()); });
}

void frmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void frmMain::Form_Unload() {
  platform::ignoreErrors([] { Registry::writeSetting(QStringLiteral("Startup"), QStringLiteral("True")); });
  platform::ignoreErrors([this] {
    nid_.cbSize = 88;
    nid_.hWnd = pichook_;
    nid_.uID = 1;
    platform::services().tray->remove();
  });
  platform::logEvent("quit");
  QApplication::quit();
}
