// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-ins for the parts of the program that other windows provide.
#include "app/main_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/frmMain.h"
#include "platform/log.h"
#include "platform/services.h"

void MainWindowParts::showPrefs(frmMain& main) {
  QDialog box(&main);
  box.setWindowTitle(QStringLiteral("Preferences"));
  auto* layout = new QVBoxLayout(&box);
  layout->addWidget(new QLabel(QStringLiteral("There are no preferences to set yet."), &box));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  layout->addWidget(buttons);
  box.exec();
}

void MainWindowParts::trayMessage(frmMain& main, int message) {
  if (message == platform::TrayService::kDoubleClick) main.menuTrayLaunch_Click();
}

namespace {

// Until the program's firing is built: one beep, and the alarm ends as stopped.
class BeepRinger final : public AlarmEngine::Ringer {
 public:
  explicit BeepRinger(AlarmEngine& engine) : engine_(engine) {}
  void prepareAlarm() override {}
  void raiseAlarm() override {
    if (auto* sound = platform::services().sound) sound->beep(1500, 500);
    engine_.alertEnded(AlarmEngine::AlertEnd::Stopped);
  }

 private:
  AlarmEngine& engine_;
};

}  // namespace

void MainWindowParts::attach(frmMain& main) {
  beep_ = std::make_unique<BeepRinger>(main.engine());
  main.engine().setRinger(beep_.get());
}
