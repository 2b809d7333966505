// SPDX-License-Identifier: GPL-3.0-or-later
// The ground the window tests stand on: the offscreen application, settings under a program
// in a temporary folder, the fake services, the main window with the registered display
// control, and the ways a user acts on a modal dialog.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "app/frmMain.h"
#include "app/main_parts.h"
#include "platform/fake_services.h"
#include "platform/store.h"
#include "ui.h"

class QDialog;
class QWidget;

// Failures show the texts, not their bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace testsupport {

// That time of day on 8 December 2026 (or another day of that month).
QDateTime at(int h, int m, int s, int day = 8);

// The test program's command line, as the program reads it; a test may add an argument.
extern int appArgc;
extern char* appArgv[3];

// Creates the application once, with the program's own style if asked, and keeps the
// diagnostic log off the test output.
void startApplication(bool programStyle);

// A private settings folder for the whole test program (XDG_CONFIG_HOME points there).
QString configHome();
// Registers the display control of the build there; false when it is not built.
bool registerDisplayControl();

// The three alarm-time fields of the main window as they read, with `between` between them.
QString fieldsOf(const QObject& window, const QString& between = {});
// The main window's display control (Lumicell1) as the user sees it: digits, colour, size.
QString displayDigits(const QObject& window);
int displayColour(const QObject& window);
int displaySize(const QObject& window);

// Key presses of the characters, straight to the widget (QChar(8) is Backspace).
void typeInto(QWidget* w, const QString& keys);

// Runs the steps from inside the modal loop that open() starts, as a user acts on a shown
// dialog; the steps return that dialog, which is closed when they leave it open. Returns
// whether they left it open.
bool whileModal(QObject* context, const std::function<QDialog*()>& steps, const std::function<void()>& open);

// The settings of a program in a temporary folder, in memory unless a test uses a store of
// its own, with the fake services.
class SettingsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { startApplication(false); }
  void SetUp() override { useStore(memoryStore); }
  void TearDown() override;
  void useStore(platform::Store& s);
  static QString stored(const char* name);
  static void put(const char* name, const QString& value);
  // An empty file of that name in the program's folder; its path.
  QString file(const QString& name) const;
  // The message boxes shown so far with that title.
  std::vector<platform::RecordedBox> boxesTitled(const QString& title) const;
  // Checks that exactly one message box was shown, with these texts (and flags, when given).
  void expectOneBox(const QString& title, const QString& prompt, int flags = -1) const;

  QTemporaryDir dir;
  platform::MemoryStore memoryStore;
  platform::FakeServices fakes;
};

// The main window on the offscreen platform, its settings in files under configHome() where
// the display control is registered; the clock stands at 07:00:00.
class MainWindowTest : public SettingsTest {
 protected:
  static void SetUpTestSuite() { startWindows(true); }
  static void startWindows(bool programStyle) {
    startApplication(programStyle);
    registered = registerDisplayControl();
  }
  void SetUp() override;
  void TearDown() override;
  // A new main window, with these parts when given, loaded as the program loads it.
  frmMain& load(std::unique_ptr<MainWindowParts> parts = nullptr);
  void setFields(const QString& h, const QString& m, const QString& s);
  // Arms the alarm from the fields, as typed (loading the window first when there is none).
  frmMain& armAt(const QString& h, const QString& m, const QString& s);
  // Minimises the window, as its title bar's button does.
  void minimise();
  // The clock's second-aligned tick at the given time: the program's own entry point.
  void tickAt(const QDateTime& t);

  static inline bool registered = false;
  platform::FileStore store{configHome().toStdString()};
  std::unique_ptr<frmMain> win;
};

}  // namespace testsupport
