// SPDX-License-Identifier: GPL-3.0-or-later
// The shared window-test ground: application, settings, display control, modal loops.
#include "window_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstdlib>

#include "app/program_style.h"
#include "lumicell/lumicell.h"
#include "platform/host/lumicell_widget.h"
#include "platform/log.h"
#include "platform/registry.h"
#include "platform/second_timer.h"

namespace testsupport {

QDateTime at(int h, int m, int s, int day) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s)); }

static char appArg0[] = "alarm_test";
int appArgc = 1;
char* appArgv[3] = {appArg0, nullptr, nullptr};

void startApplication(bool programStyle) {
  qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
  qputenv("XDG_STATE_HOME", (configHome() + "/state").toLocal8Bit());  // notices kept for the next start
  if (!qApp) {
    new QApplication(appArgc, appArgv);
    if (programStyle) ProgramStyle::install();  // as the program runs
  }
  platform::setLogToStderr(false);
}

QString configHome() {
  static QTemporaryDir home;
  return home.path();
}

bool registerDisplayControl() {
  const QString bin = QString::fromLocal8Bit(qgetenv("ALARM_BIN_DIR"));
  const QString regsvr = bin + "/regsvr", library = bin + "/liblumicell.so";
  if (!QFile::exists(regsvr) || !QFile::exists(library)) return false;
  const QString cmd = "XDG_CONFIG_HOME='" + configHome() + "' '" + regsvr + "' '" + library + "' >/dev/null 2>&1";
  return std::system(cmd.toLocal8Bit().constData()) == 0;
}

QString fieldsOf(const QObject& window, const QString& between) {
  return ui<QLineEdit>(window, "txtHRS")->text() + between + ui<QLineEdit>(window, "txtMIN")->text() + between +
         ui<QLineEdit>(window, "txtSEC")->text();
}

QString displayDigits(const QObject& window) {
  const std::string digits = ui<platform::LumicellWidget>(window, "Lumicell1")->getText(lumicell::kDispDigitDisplay);
  return QString::fromStdString(digits);
}
int displayColour(const QObject& window) {
  return ui<platform::LumicellWidget>(window, "Lumicell1")->getLong(lumicell::kDispDigitColor);
}
int displaySize(const QObject& window) {
  return ui<platform::LumicellWidget>(window, "Lumicell1")->getLong(lumicell::kDispDigitSize);
}

void typeInto(QWidget* w, const QString& keys) {
  for (QChar c : keys) {
    const int key = c == QChar(8) ? int(Qt::Key_Backspace) : int(c.toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, c == QChar(8) ? QString(QChar(8)) : QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

bool whileModal(QObject* context, const std::function<QDialog*()>& steps, const std::function<void()>& open) {
  bool ran = false, leftOpen = false;
  QTimer::singleShot(0, context, [&] {
    ran = true;
    QDialog* d = steps();
    leftOpen = d && d->isVisible();
    if (leftOpen) d->done(0);
  });
  open();
  EXPECT_TRUE(ran);
  return leftOpen;
}

void SettingsTest::useStore(platform::Store& s) {
  platform::setDefaultStore(&s);
  Registry::setProgramPath(dir.path() + "/Alarm");
  Registry::CreateRegistryKey(Registry::settingsKey());
}

void SettingsTest::TearDown() { platform::setDefaultStore(nullptr); }

QString SettingsTest::stored(const char* name) { return Registry::readSetting(QString::fromLatin1(name)); }

void SettingsTest::put(const char* name, const QString& value) {
  Registry::writeSetting(QString::fromLatin1(name), value);
}

QString SettingsTest::file(const QString& name) const {
  const QString path = dir.path() + "/" + name;
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  return path;
}

std::vector<platform::RecordedBox> SettingsTest::boxesTitled(const QString& title) const {
  std::vector<platform::RecordedBox> out;
  for (const auto& b : fakes.messageBox.boxes)
    if (b.title == title) out.push_back(b);
  return out;
}

void SettingsTest::expectOneBox(const QString& title, const QString& prompt, int flags) const {
  const auto& boxes = fakes.messageBox.boxes;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, title);
  EXPECT_EQ(boxes[0].prompt, prompt);
  if (flags >= 0) {
    EXPECT_EQ(boxes[0].flags, flags);
  }
}

void MainWindowTest::SetUp() {
  if (!registered) GTEST_SKIP() << "the display control (regsvr, liblumicell.so) is not built in ALARM_BIN_DIR";
  ASSERT_TRUE(dir.isValid());
  QDir(configHome() + "/Orvanta").removeRecursively();
  QDir(configHome() + "/autostart").removeRecursively();
  useStore(store);
  fakes.clock.current = at(7, 0, 0);
}

void MainWindowTest::TearDown() {
  win.reset();
  SettingsTest::TearDown();
}

frmMain& MainWindowTest::load(std::unique_ptr<MainWindowParts> parts) {
  win.reset();
  win = std::make_unique<frmMain>();
  if (parts) win->setParts(std::move(parts));
  win->Form_Load();
  return *win;
}

void MainWindowTest::setFields(const QString& h, const QString& m, const QString& s) {
  ui<QLineEdit>(*win, "txtHRS")->setText(h);
  ui<QLineEdit>(*win, "txtMIN")->setText(m);
  ui<QLineEdit>(*win, "txtSEC")->setText(s);
}

frmMain& MainWindowTest::armAt(const QString& h, const QString& m, const QString& s) {
  if (!win) load();
  setFields(h, m, s);
  win->cmdSet_Click();
  return *win;
}

void MainWindowTest::minimise() {
  win->setWindowState(Qt::WindowMinimized);
  QApplication::processEvents();
}

void MainWindowTest::tickAt(const QDateTime& t) {
  fakes.clock.current = t;
  emit ui<platform::SecondTimer>(*win, "Clock")->timeout();
}

}  // namespace testsupport
