// The main window: its controls and menus, loading and unloading, and the window options.
// The alarm engine's handlers (time entry, arming, the clock tick, quick alarms) are in
// alarm/frmMain_alarm.cpp.
#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QThread>
#include <QTimer>
#include <QPointer>
#include <QWindow>
#include <QFile>
#include <cmath>
#include <optional>

#include "alarm/leave_check.h"
#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/digits_validator.h"
#include "app/frmAbout.h"
#include "app/frmQuickAlarm.h"
#include "app/main_parts.h"
#include "app/program_icon.h"
#include "app/program_style.h"
#include "app/registry.h"
#include "app/session_end.h"
#include "app/updown.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/log.h"
#include "platform/second_timer.h"
#include "platform/services.h"
#include "platform/vbtime.h"
#include "version.h"

namespace {

QString setting(const char* name) { return Registry::readSetting(QString::fromLatin1(name)); }
void writeSetting(const char* name, const QString& text) { Registry::writeSetting(QString::fromLatin1(name), text); }

std::string utf8(const QString& s) { return s.toStdString(); }

// A stored Boolean (True/False or a number) and a stored whole number. Where the conversion
// would raise an error (the value is missing, reads "Error", is no number or out of range)
// there is no value, and the statement that reads it is skipped, as an error would skip it.
std::optional<bool> settingBool(const char* name) { return platform::tryCBool(utf8(setting(name))); }
std::optional<int> settingInt(const char* name) { return platform::tryCInt(utf8(setting(name))); }

// The geometry of a control given in twips.
void placeTwips(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

}  // namespace

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

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), parts_(std::make_unique<MainWindowParts>()) {
  // A steady text cursor: a blinking one would wake the program twice a second while the
  // hours field waits for input, and a clock sits idle most of its life.
  QGuiApplication::styleHints()->setCursorFlashTime(0);
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Alarm"));
  setWindowIcon(programIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  buildControls();
  buildMenus();

  Clock = new platform::SecondTimer(this);
  Music = new QTimer(this);
  Music->setInterval(100);
  connect(Clock, &platform::SecondTimer::timeout, this, &frmMain::onSecond);
  Clock->start();
  setAlarmEnabled(true);  // enabled as designed; the load disables it unless an alarm is armed

  sessionEnd_ = new SessionEndWatcher(this);
  connect(sessionEnd_, &SessionEndWatcher::sessionEnding, this, [this] {
    platform::logEvent("the session is ending");
    requestUnload(vbAppWindows);
  });
  // The keys and clicks of the window's own controls pass through eventFilter.
  for (QWidget* w : std::initializer_list<QWidget*>{txtHRS, txtMIN, txtSEC, cboAMPM, cmdSet, cmdReset, cmdPrefs, Check1})
    w->installEventFilter(this);
  // A mouse press that takes the focus out of a field is checked before the focus moves.
  new LeaveCheck(this, [this](QWidget* target) { return validateBeforePress(target); });
  Form_Initialize();
}

frmMain::~frmMain() = default;

void frmMain::setParts(std::unique_ptr<MainWindowParts> parts) {
  parts_ = std::move(parts);
  parts_->attach(*this);
}

void frmMain::buildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);
  QFont small = font();
  small.setPixelSize(11);
  client->setFont(small);

  Picture1 = makeDisplayBox(client);
  placeTwips(Picture1, 96, 45, 2835, 510);
  Lumicell1 = ClockDisplay::create(Picture1);

  Picture2 = new QFrame(client);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  placeTwips(Picture2, 96, 600, 2160, 312);
  auto makeBox = [this](const char* name, int left) {
    auto* box = new QLineEdit(QStringLiteral("00"), Picture2);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(2);
    box->setAlignment(Qt::AlignCenter);
    box->setValidator(new DigitsValidator(2, box));
    box->setTextMargins(0, 0, 0, 0);
    placeTwips(box, left, 30, 390, 225);
    return box;
  };
  txtHRS = makeBox("txtHRS", 45);
  txtMIN = makeBox("txtMIN", 750);
  txtSEC = makeBox("txtSEC", 1440);
  auto makeSpinner = [this](QLineEdit* buddy, int max, int left) {
    auto* s = new UpDown(buddy, 0, max, Picture2);
    placeTwips(s, left, -15, 255, 285);
    return s;
  };
  UpDownHRS = makeSpinner(txtHRS, 23, 450);
  UpDownMIN = makeSpinner(txtMIN, 59, 1155);
  UpDownSEC = makeSpinner(txtSEC, 59, 1845);
  UpDownHRS->setObjectName(QStringLiteral("UpDownHRS"));
  UpDownMIN->setObjectName(QStringLiteral("UpDownMIN"));
  UpDownSEC->setObjectName(QStringLiteral("UpDownSEC"));
  connect(UpDownHRS, &UpDown::aboutToStep, this, &frmMain::applyClockModeRange);
  connect(UpDownHRS, &UpDown::Change, this, &frmMain::UpDownHRS_Change);
  for (QLabel* colon : {new QLabel(QStringLiteral(":"), Picture2), new QLabel(QStringLiteral(":"), Picture2)}) {
    colon->setAlignment(Qt::AlignCenter);
    colon->resize(twipsToPx(45), twipsToPx(225));
  }
  Picture2->findChildren<QLabel*>()[0]->move(twipsToPx(705), twipsToPx(30));
  Picture2->findChildren<QLabel*>()[1]->move(twipsToPx(1395), twipsToPx(30));

  cboAMPM = new QComboBox(client);
  cboAMPM->setObjectName(QStringLiteral("cboAMPM"));
  cboAMPM->addItems({QStringLiteral("AM"), QStringLiteral("PM")});
  cboAMPM->setCurrentIndex(1);
  ProgramStyle::makeCompact(cboAMPM);
  placeTwips(cboAMPM, 2310, 600, 615, 315);
  connect(cboAMPM, &QComboBox::activated, this, &frmMain::cboAMPM_Click);

  cmdSet = new QPushButton(QStringLiteral("Set Alarm"), client);
  cmdSet->setObjectName(QStringLiteral("cmdSet"));
  cmdSet->setToolTip(QStringLiteral(" Activate an alarm "));
  cmdSet->setDefault(true);
  placeTwips(cmdSet, 96, 990, 2115, 405);
  connect(cmdSet, &QPushButton::clicked, this, &frmMain::cmdSet_Click);

  cmdReset = new QPushButton(QStringLiteral("Reset"), client);
  cmdReset->setObjectName(QStringLiteral("cmdReset"));
  cmdReset->setToolTip(QStringLiteral(" Reset alarm time indicator to actual time "));
  cmdReset->setAutoDefault(false);
  placeTwips(cmdReset, 2310, 990, 615, 315);
  connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);

  cmdPrefs = new QPushButton(QStringLiteral("Prefs"), client);
  cmdPrefs->setObjectName(QStringLiteral("cmdPrefs"));
  cmdPrefs->setToolTip(QStringLiteral(" Open the preferences dialog "));
  cmdPrefs->setAutoDefault(false);
  placeTwips(cmdPrefs, 2310, 1350, 615, 330);
  connect(cmdPrefs, &QPushButton::clicked, this, &frmMain::cmdPrefs_Click);

  Check1 = new QCheckBox(QStringLiteral("Auto Set && Minimize"), client);
  Check1->setObjectName(QStringLiteral("Check1"));
  Check1->setToolTip(QStringLiteral(" Automatically minimize this window after you set the alarm "));
  placeTwips(Check1, 96, 1470, 2160, 195);
  // Tall enough for its box and focus frame in this style; 195 twips cut off a pixel.
  Check1->resize(Check1->width(), std::max(Check1->height(), Check1->sizeHint().height()));

  Image1 = new QLabel(client);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  placeTwips(Image1, 90, 1770, 2835, 285);
  lblAlarm = new QLabel(engine::kNotActivated, client);
  lblAlarm->setObjectName(QStringLiteral("lblAlarm"));
  lblAlarm->setMouseTracking(true);
  lblAlarm->installEventFilter(this);
  placeTwips(lblAlarm, 150, 1815, 2505, 195);
  setStatus(engine::kNotActivated, kColourNotArmed);

  // The hidden controls sit below the client area.
  pichook = new QWidget(client);
  pichook->setObjectName(QStringLiteral("pichook"));
  pichook->hide();
  cmdHDDNplaysound = new QPushButton(client);
  cmdHDDNplaysound->setObjectName(QStringLiteral("cmdHDDNplaysound"));
  cmdHDDNplaysound->hide();
  connect(cmdHDDNplaysound, &QPushButton::clicked, this, &frmMain::cmdHDDNplaysound_Click);

  // Tab order: the three fields first, so typing a time and Enter arms it.
  setTabOrder(txtHRS, txtMIN);
  setTabOrder(txtMIN, txtSEC);
  setTabOrder(txtSEC, cboAMPM);
  setTabOrder(cboAMPM, cmdSet);
  setTabOrder(cmdSet, cmdReset);
  setTabOrder(cmdReset, cmdPrefs);
  setTabOrder(cmdPrefs, Check1);
  txtHRS->setFocus();

  client->setFixedSize(twipsToPx(3015), twipsToPx(2265));
}

void frmMain::buildMenus() {
  QMenuBar* bar = menuBar();
  auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    addAction(a);  // the shortcut works while the menu is closed
    return a;
  };
  auto checkable = [](QAction* a) {
    a->setCheckable(true);
    return a;
  };

  menuProject = bar->addMenu(QStringLiteral("&Project"));
  menuProject->setObjectName(QStringLiteral("menuProject"));
  menuAlwaysOnTop = checkable(add(menuProject, "menuAlwaysOnTop", QStringLiteral("Always On Top"), Qt::CTRL | Qt::Key_T));
  menuProject->addSeparator()->setObjectName(QStringLiteral("menuSeparator00"));
  menuHelp = add(menuProject, "menuHelp", QStringLiteral("Help"), Qt::Key_F1);
  menuAbout = add(menuProject, "menuAbout", QStringLiteral("About"), Qt::CTRL | Qt::Key_A);
  menuExit = add(menuProject, "menuExit", QStringLiteral("Exit"), Qt::CTRL | Qt::Key_X);

  menuEdit = bar->addMenu(QStringLiteral("&Edit"));
  menuEdit->setObjectName(QStringLiteral("menuEdit"));
  const char* colours[] = {"Led colour: blue", "Led colour: green", "Led colour: red"};
  for (int i = 0; i < 3; ++i) menuLedcolour[i] = checkable(add(menuEdit, "menuLedcolour", QString::fromLatin1(colours[i])));
  menuEdit->addSeparator()->setObjectName(QStringLiteral("menuSeparator01"));
  menuLedsize[0] = checkable(add(menuEdit, "menuLedsize", QStringLiteral("Led size: small")));
  menuLedsize[1] = checkable(add(menuEdit, "menuLedsize", QStringLiteral("Led size: large")));
  menuEdit->addSeparator()->setObjectName(QStringLiteral("menuSeparator02"));
  menuAMPM[0] = checkable(add(menuEdit, "menuAMPM", QStringLiteral("AM/PM time display")));
  menuAMPM[1] = checkable(add(menuEdit, "menuAMPM", QStringLiteral("24 Hour (military) time display")));
  menuEdit->addSeparator()->setObjectName(QStringLiteral("menuSeparator03"));
  menuAutoStart = checkable(add(menuEdit, "menuAutoStart", QStringLiteral("Set Alarm on Startup")));
  menuAutoQuit = checkable(add(menuEdit, "menuAutoQuit", QStringLiteral("Exit Program after Alarm")));
  menuEdit->addSeparator()->setObjectName(QStringLiteral("menuSeparator04"));
  menuResetAlarm = add(menuEdit, "menuResetAlarm", QStringLiteral("Reset Alarm"), Qt::CTRL | Qt::Key_R);
  MenuDeactivateAlarm = add(menuEdit, "MenuDeactivateAlarm", QStringLiteral("Deactive Alarm"), Qt::CTRL | Qt::Key_D);
  menuPrefs = add(menuEdit, "menuPrefs", QStringLiteral("Preferences"), Qt::CTRL | Qt::Key_P);
  menuLedcolour[0]->setChecked(true);
  menuLedsize[0]->setChecked(true);

  menuQuick = bar->addMenu(QStringLiteral("&Quick"));
  menuQuick->setObjectName(QStringLiteral("menuQuick"));
  menuSet5Mins = add(menuQuick, "menuSet5Mins", QStringLiteral("Wake me in   5 minutes"));
  menuSet10Mins = add(menuQuick, "menuSet10Mins", QStringLiteral("Wake me in 10 minutes"));
  menuSet15Mins = add(menuQuick, "menuSet15Mins", QStringLiteral("Wake me in 15 minutes"));
  menuSet20Mins = add(menuQuick, "menuSet20Mins", QStringLiteral("Wake me in 20 minutes"));
  menuQuick->addSeparator()->setObjectName(QStringLiteral("menuSeparator05"));
  menuSetManualMins = add(menuQuick, "menuSetManualMins", QStringLiteral("Wake me in .. minutes"));

  // The tray icon's menu: never in the menu bar.
  menuDummy = new QMenu(QStringLiteral("&Dummy"), this);
  menuDummy->setObjectName(QStringLiteral("menuDummy"));
  menuTrayLaunch = menuDummy->addAction(QStringLiteral("Launch"));
  menuTrayAlarmTime = menuDummy->addAction(QStringLiteral("Alarm Time"));
  menuTrayAlarmTime->setVisible(false);
  menuDummy->addSeparator()->setObjectName(QStringLiteral("menuSeparator06"));
  menuTrayHelp = menuDummy->addAction(QStringLiteral("Help"));
  menuTrayAbout = menuDummy->addAction(QStringLiteral("About"));
  menuTrayExit = menuDummy->addAction(QStringLiteral("Exit"));

  connect(menuAlwaysOnTop, &QAction::triggered, this, &frmMain::menuAlwaysOnTop_Click);
  connect(menuHelp, &QAction::triggered, this, &frmMain::menuHelp_Click);
  connect(menuAbout, &QAction::triggered, this, &frmMain::menuAbout_Click);
  connect(menuExit, &QAction::triggered, this, &frmMain::menuExit_Click);
  connect(menuEdit, &QMenu::aboutToShow, this, &frmMain::menuEdit_Click);
  for (int i = 0; i < 3; ++i) connect(menuLedcolour[i], &QAction::triggered, this, [this, i] { menuLedcolour_Click(i); });
  for (int i = 0; i < 2; ++i) {
    connect(menuLedsize[i], &QAction::triggered, this, [this, i] { menuLedsize_Click(i); });
    connect(menuAMPM[i], &QAction::triggered, this, [this, i] { menuAMPM_Click(i); });
  }
  connect(menuAutoStart, &QAction::triggered, this, &frmMain::menuAutoStart_Click);
  connect(menuAutoQuit, &QAction::triggered, this, &frmMain::menuAutoQuit_Click);
  connect(menuResetAlarm, &QAction::triggered, this, &frmMain::menuResetAlarm_Click);
  connect(MenuDeactivateAlarm, &QAction::triggered, this, &frmMain::MenuDeactivateAlarm_Click);
  connect(menuPrefs, &QAction::triggered, this, &frmMain::menuPrefs_Click);
  connect(menuSet5Mins, &QAction::triggered, this, [this] { startTimer(QStringLiteral("5")); });
  connect(menuSet10Mins, &QAction::triggered, this, [this] { startTimer(QStringLiteral("10")); });
  connect(menuSet15Mins, &QAction::triggered, this, [this] { startTimer(QStringLiteral("15")); });
  connect(menuSet20Mins, &QAction::triggered, this, [this] { startTimer(QStringLiteral("20")); });
  connect(menuSetManualMins, &QAction::triggered, this, &frmMain::menuSetManualMins_Click);
  connect(menuTrayLaunch, &QAction::triggered, this, &frmMain::menuTrayLaunch_Click);
  // The tray menu's commands run once the menu has closed, so the icon answers again while
  // the About box or the quit question they open is showing.
  connect(menuTrayHelp, &QAction::triggered, this, &frmMain::menuHelp_Click, Qt::QueuedConnection);
  connect(menuTrayAbout, &QAction::triggered, this, &frmMain::menuAbout_Click, Qt::QueuedConnection);
  connect(menuTrayExit, &QAction::triggered, this, &frmMain::menuExit_Click, Qt::QueuedConnection);

  connect(platform::services().tray, &platform::TrayService::activated, this,
          [this](int message) { parts_->trayMessage(*this, message); });

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  layout()->activate();
}

void frmMain::Form_Initialize() {
  try {
    const QString title = QString::fromUtf8(version::kProductName);
    const QString versionText =
        QStringLiteral("%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision);
    nid_.cbSize = 88;
    nid_.hWnd = pichook;
    nid_.uID = 1;
    nid_.uFlags = 7;
    nid_.uCallbackMessage = 0x200;
    nid_.szTip = makeTipField(title + " " + versionText);
    platform::services().tray->add(windowIcon(), nid_.tip());
  } catch (const platform::RuntimeError& e) {
    platform::services().messageBox->msgBox(
        QString::fromStdString(platform::startupErrorText(e.number(), e.description(), "frmMain, Form_Initialize")),
        platform::mb::kOkOnly, QStringLiteral("Error"));
  }
}

// ---------------------------------------------------------------------------------------
// Loading

void frmMain::Form_Load() {
  using platform::ignoreErrors;
  // 1. The settings key.
  ignoreErrors([] { Registry::CreateRegistryKey(Registry::settingsKey()); });

  // 2. Window position (twips of the window's outer edge).
  const bool startup = settingBool("Startup").value_or(false);
  if (startup) {
    // A stored edge that is no usable number (1e30, letters) counts as a place off every screen.
    bool unusable = false;
    const auto edge = [&](const char* name, auto apply) {
      const QString stored = setting(name);
      const bool ok = ignoreErrors([&] {
        const float v = platform::vbCSng(utf8(stored));
        if (!std::isfinite(v) || std::fabs(v) > 1e7f) throw platform::RuntimeError(platform::err::kOverflow);
        apply(twipsToPx(v));
      });
      if (!ok && stored != QLatin1String("Error")) unusable = true;
    };
    edge("Top", [this](int top) { move(x(), top); });
    edge("Left", [this](int left) { move(left, y()); });
    // A negative edge centres the window, and so does a place off every screen.
    if (unusable || y() < 0 || x() < 0 || !onScreenAt(pos())) centreWindow();
  } else {
    centreWindow();
  }

  // 3. LED colour.
  ignoreErrors([&] {
    // Absent, unreadable or beyond the menu: blue, as a first start shows.
    int index = settingInt("LedColourMenuIndex").value_or(0);
    if (index < 0) index = 1;
    if (index > 2) index = 0;
    Lumicell1->putColor(index);
    switch (index) {
      case 0: menuLedcolour[1]->setChecked(false), menuLedcolour[2]->setChecked(false); break;
      case 1: menuLedcolour[0]->setChecked(false), menuLedcolour[2]->setChecked(false); break;
      case 2: menuLedcolour[0]->setChecked(false), menuLedcolour[1]->setChecked(false); break;
      default: break;
    }
    if (index >= 0 && index < 3) menuLedcolour[static_cast<std::size_t>(index)]->setChecked(true);
    lblHDDNTempInteger = QString::number(index);
  });

  // 4. LED size.
  ignoreErrors([&] {
    int index = settingInt("LedSizeMenuIndex").value_or(0);  // absent, unreadable or beyond the menu: small
    if (index < 0) index = 1;
    if (index > 1) index = 0;
    Lumicell1->putSize(index);
    if (index == 0 || index == 1) {
      menuLedsize[static_cast<std::size_t>(1 - index)]->setChecked(false);
      Lumicell1->putSize(index);
      centreDisplay();
      menuLedsize[static_cast<std::size_t>(index)]->setChecked(true);
    }
  });
  centreDisplay();

  // 5. Clock mode.
  ignoreErrors([&] {
    QString mode = setting("AMPMMenuIndex");
    if (mode == QLatin1String("Error")) mode = QStringLiteral("1");
    if (mode == QLatin1String("0")) menuAMPM[1]->setChecked(false);
    if (mode == QLatin1String("1")) menuAMPM[0]->setChecked(false);
    const int index = platform::vbCInt(utf8(mode));
    if (index < 0 || index > 1) throw platform::RuntimeError(platform::err::kSubscriptOutOfRange);
    menuAMPM[static_cast<std::size_t>(index)]->setChecked(true);
  });
  // A damaged value leaves no mode at all: 24-hour mode is what a first start shows.
  if (!menuAMPM[0]->isChecked() && !menuAMPM[1]->isChecked()) menuAMPM[1]->setChecked(true);

  // 6. The AM/PM list.
  const bool listRestored = ignoreErrors([&] {
    QString enabled = setting("AMPMcboEnabled");
    if (enabled == QLatin1String("Error")) enabled = QStringLiteral("False");
    cboAMPM->setEnabled(platform::vbCBool(utf8(enabled)));
  });
  if (!listRestored) cboAMPM->setEnabled(!is24());  // unreadable: the list follows the clock mode

  // 7. The entry fields; a field that is not a number shows the current time in all three.
  ignoreErrors([&] { txtHRS->setText(setting("HH").left(2)); });
  ignoreErrors([&] { txtMIN->setText(setting("NN").left(2)); });
  ignoreErrors([&] { txtSEC->setText(setting("SS").left(2)); });
  ignoreErrors([&] {
    const auto notDigits = [](const QLineEdit* box) {
      for (QChar c : box->text())
        if (!c.isDigit() || c.unicode() > 127) return true;
      return false;
    };
    if (notDigits(txtHRS) || notDigits(txtMIN) || notDigits(txtSEC)) {
      const QTime now = platform::services().clock->now().time();
      txtHRS->setText(platform::formatTime(now, QStringLiteral("hh")));
      txtMIN->setText(platform::formatTime(now, QStringLiteral("nn")));
      txtSEC->setText(platform::formatTime(now, QStringLiteral("ss")));
    }
  });

  // 8. AM or PM.
  ignoreErrors([&] {
    QString half = setting("AMPMcombo");
    if (half == QLatin1String("Error") || half.isEmpty()) half = QStringLiteral("1");
    const int index = platform::vbCInt(utf8(half));
    if (index < 0 || index >= cboAMPM->count()) throw platform::RuntimeError(platform::err::kInvalidPropertyValue);
    cboAMPM->setCurrentIndex(index);
  });

  // 9. Auto Set & Minimize.
  ignoreErrors([&] {
    const auto stored = settingInt("AutoMinimize");
    if (!stored) return;
    const int value = *stored;
    if (value > 1) throw platform::RuntimeError(platform::err::kInvalidPropertyValue);
    Check1->setChecked(value > 0);
  });

  // 10. Set Alarm on Startup: arm from the restored fields.
  if (const auto on = settingBool("AutoStartMenu")) menuAutoStart->setChecked(*on);
  if (menuAutoStart->isChecked()) {
    ignoreErrors([&] { cmdSet_Click(); });
  } else {
    setAlarmEnabled(false);
  }
  if (unloaded_) return;  // the session ended while a warning of the arming was open

  // 11. Always on top.
  ignoreErrors([&] {
    const auto on = settingBool("AlwaysOnTopMenu");
    if (!on) return;
    menuAlwaysOnTop->setChecked(*on);
    if (menuAlwaysOnTop->isChecked()) setTopmost(true);
  });

  // 12. Exit after alarm.
  if (const auto on = settingBool("AutoQuitMenu")) menuAutoQuit->setChecked(*on);

  // 13. The previous alarm.
  ignoreErrors([&] {
    lblHDDNpreviousAlarm = setting("PreviousAlarm");
    if (lblHDDNpreviousAlarm == QLatin1String("Error")) lblHDDNpreviousAlarm = QStringLiteral("lblHDDNpreviousAlarm");
  });

  // 14. The media player.
  ignoreErrors([&] { parts_->createPlayer(); });

  // 15. The "Enlarge" switch: a window of 3620 x 3395 twips.
  ignoreErrors([&] {
    if (commandLineText() == QLatin1String("Enlarge")) {
      enlargeTo_ = QSize(twipsToPx(3620), twipsToPx(3395));
      const QSize frameExtra = frameGeometry().size() - geometry().size();
      const QPoint framePos = pos();
      centralWidget()->setFixedSize(enlargeTo_ - frameExtra - QSize(0, menuBar()->sizeHint().height()));
      // Resizing a window that is not shown yet makes its position count without the frame;
      // place the frame where step 2 put it, or every enlarged start creeps up a title bar.
      if (layout()) layout()->activate();
      move(framePos);
    }
  });

  Clock_Timer();
  platform::logEvent(("window loaded: fields " + txtHRS->text() + ":" + txtMIN->text() + ":" + txtSEC->text() +
                      (is24() ? ", 24-hour clock" : " " + cboAMPM->currentText() + ", AM/PM clock") +
                      QStringLiteral(", at %1,%2").arg(x()).arg(y()))
                         .toStdString());
}

QString frmMain::commandLineText() {
  QStringList args = QCoreApplication::arguments().mid(1);
  for (qsizetype i = 0; i < args.size();) {
    if (args[i] == QLatin1String("--log") && i + 1 < args.size())
      args.remove(i, 2);
    else
      ++i;
  }
  return args.join(QLatin1Char(' '));
}

void frmMain::centreWindow() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize outer = frameGeometry().size();
  const QRect area = screen->geometry();
  const auto half = [](double twips) { return static_cast<int>(platform::roundHalfEven(twips)) / 2; };
  const int left = half(pxToTwips(area.width()) - pxToTwips(outer.width()));
  const int top = half(pxToTwips(area.height()) - pxToTwips(outer.height()));
  move(area.x() + twipsToPx(left), area.y() + twipsToPx(top));
}

bool frmMain::onScreenAt(const QPoint& corner) const {
  const QRect frame(corner, frameGeometry().size());
  for (const QScreen* s : QGuiApplication::screens())
    if (s->geometry().intersects(frame)) return true;
  return false;
}

void frmMain::centreDisplay() {
  const int innerW = pxToTwips(Picture1->contentsRect().width());
  const int innerH = pxToTwips(Picture1->contentsRect().height());
  const int border = pxToTwips(Picture1->contentsRect().left());
  const auto round = [](double v) { return static_cast<int>(platform::roundHalfEven(v)); };
  Lumicell1->setLeftTwips(border + round((innerW - Lumicell1->widthTwips()) / 2.0));
  Lumicell1->setTopTwips(border + round((innerH - Lumicell1->heightTwips()) / 2.0));
}

void frmMain::setVisible(bool visible) {
  // A window that starts minimised while its icon shows in the tray is never shown: the
  // desktop would carry out the minimising late and hide the window again just as the user
  // brought it back from the tray.
  if (visible && startInTray_) {
    startInTray_ = false;
    return;
  }
  if (visible) hiddenSinceStart_ = false;
  QMainWindow::setVisible(visible);
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (Clock->isActive()) Clock->start();  // back to a tick every second
  if (displayStale_ && !isMinimized()) Clock_Timer();
  if (!shownOnce_) {
    shownOnce_ = true;
    platform::logEvent("window shown");
    if (enlargeTo_.isValid()) {
      // The outer size counts the frame, which the window manager adds once the window shows.
      QTimer::singleShot(200, this, [this] {
        const QSize frameExtra = frameGeometry().size() - geometry().size();
        centralWidget()->setFixedSize(enlargeTo_ - frameExtra - QSize(0, menuBar()->sizeHint().height()));
      });
    }
  }
}

// ---------------------------------------------------------------------------------------
// Unloading

bool frmMain::requestUnload(int unloadMode) {
  if (unloaded_) return true;
  if (unloading_) {
    // The session ends while the quit question is open: close the question; the unload
    // then goes ahead whatever it answers.
    if (unloadMode == vbAppWindows) {
      sessionEndPending_ = true;
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    }
    return false;
  }
  unloading_ = true;
  bool cancel = false;
  Form_QueryUnload(cancel, unloadMode);
  unloading_ = false;
  if (cancel && !sessionEndPending_) {
    platform::logEvent("quit cancelled");
    return false;
  }
  Form_Unload();
  return true;
}

void frmMain::Form_QueryUnload(bool& cancel, int unloadMode) {
  if (lblHDDNtime == QLatin1String("lblHDDNtime") || menuAutoQuit->isChecked() || unloadMode == vbAppWindows) return;
  const int answer = platform::services().messageBox->msgBox(
      QStringLiteral("Are you sure you want to quit? (You have activated an alarm)."),
      platform::mb::kYesNo + platform::mb::kQuestion + platform::mb::kDefaultButton2, QStringLiteral("Alarm - Quit"));
  if (answer != platform::mb::kYes) cancel = true;
}

void frmMain::Form_Unload() {
  using platform::ignoreErrors;
  unloaded_ = true;
  ignoreErrors([&] { setAlarmEnabled(false); });
  ignoreErrors([&] { Clock->stop(); });
  ignoreErrors([&] { Music->stop(); });
  ignoreErrors([&] { parts_->stopPlayer(); });
  ignoreErrors([&] { parts_->removePlayer(); });
  lblHDDNquiting = QStringLiteral("QUITING");

  // The position, unless minimised (hidden in the tray counts as minimised).
  if (!isMinimized() && !hiddenSinceStart_) {
    if (parts_->ledWindowVisible()) {
      const QPoint led = parts_->ledWindowTopLeft();
      ignoreErrors([&] { writeSetting("Top", QString::fromStdString(platform::vbCStrSingle(float(led.y() - 650)))); });
      ignoreErrors([&] { writeSetting("Left", QString::fromStdString(platform::vbCStrSingle(float(led.x() - 130)))); });
    } else {
      ignoreErrors([&] { writeSetting("Top", QString::number(pxToTwips(y()))); });
      ignoreErrors([&] { writeSetting("Left", QString::number(pxToTwips(x()))); });
    }
  }
  ignoreErrors([&] { writeSetting("Startup", QStringLiteral("True")); });
  ignoreErrors([&] { writeSetting("AutoMinimize", Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0")); });
  ignoreErrors([&] { writeSetting("HH", txtHRS->text()); });
  ignoreErrors([&] { writeSetting("NN", txtMIN->text()); });
  ignoreErrors([&] { writeSetting("SS", txtSEC->text()); });
  ignoreErrors([&] { writeSetting("AMPMcombo", QString::number(cboAMPM->currentIndex())); });
  ignoreErrors([&] { writeSetting("PreviousAlarm", lblHDDNpreviousAlarm); });

  ignoreErrors([&] {
    nid_.cbSize = 88;
    nid_.hWnd = pichook;
    nid_.uID = 1;
    platform::services().tray->remove();
  });

  // Every other window of the program, then this one.
  ignoreErrors([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != this && w->isVisible()) w->close();
  });
  hide();
  platform::logEvent("quit");
  // The program ends with its event loop (a window unloaded before the loop runs, as in
  // tests, has nothing to end).
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!unloaded_) requestUnload(vbFormControlMenu);
}

// ---------------------------------------------------------------------------------------
// Window handlers

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    if (!isMinimized() && Clock->isActive()) Clock->start();  // back to a tick every second
    if (displayStale_ && !isMinimized()) Clock_Timer();  // the display catches up at once
    Form_Resize();
  }
}

void frmMain::Form_Resize() {
  if (!isMinimized() || unloaded_) return;
  // Without an icon in a notification area a hidden window could not be found again, so it
  // then stays an ordinary minimised window.
  if (!platform::services().tray->shown()) {
    platform::logEvent("window minimised");
    return;
  }
  platform::ignoreErrors([&] {
    QTimer::singleShot(0, this, [this] {
      hide();
      platform::logEvent("window hidden in the notification area");
    });
  });
  menuTrayLaunch->setEnabled(true);
}

void frmMain::menuTrayLaunch_Click() {
  parts_->closeLedWindow();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  menuTrayLaunch->setEnabled(false);
}

void frmMain::setStatus(const QString& caption, int colour) {
  statusColour_ = colour;
  lblAlarm->setText(caption);
  QPalette palette = lblAlarm->palette();
  palette.setColor(QPalette::WindowText, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  lblAlarm->setPalette(palette);
}

void frmMain::lblAlarm_MouseMove() {
  const auto record = platform::dateTimeValue(lblHDDNpreviousAlarm);
  if (!record) {
    lblAlarm->setToolTip(QStringLiteral(" There is no record of any recent alarms "));
    return;
  }
  lblAlarm->setToolTip(" A previous alarm was shown at: " + platform::shortDate(record->date()) + " " +
                       engine::alarmText(record->time(), is24()) + " ");
}

void frmMain::cmdPrefs_Click() {
  parts_->showPrefs(*this);
  platform::ignoreErrors([&] { cmdSet->setFocus(); });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched == lblAlarm && type == QEvent::MouseMove) lblAlarm_MouseMove();
  if (watched == txtHRS || watched == txtMIN || watched == txtSEC) {
    auto* box = static_cast<QLineEdit*>(watched);
    if (type == QEvent::ShortcutOverride) {
      // The menus' shortcut keys win over the box's own editing keys, so Ctrl+X exits and
      // Ctrl+A shows the About box from the fields too, as they do everywhere else.
      const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
      for (const QAction* action : findChildren<QAction*>())
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    }
    if (type == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const QString text = key->text();
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        if (!validateBeforeLeaving(nullptr)) return true;
      } else if (!text.isEmpty() && text[0].isPrint() && !engine::isEntryKey(text[0].unicode())) {
        return true;  // only digits and Backspace reach the box
      }
    } else if (type == QEvent::FocusIn) {
      QTimer::singleShot(0, box, [this, box] {
        if (box->hasFocus()) SetSelected();
      });
    }
  }
  // Enter presses the default button "Set Alarm", or the button that has the focus.
  if (type == QEvent::KeyPress && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      auto* button = qobject_cast<QPushButton*>(watched);
      (button && button->isVisible() ? button : cmdSet)->click();
      return true;
    }
  }
  // A click that would take the focus out of an entry field checks the field first.
  if (type == QEvent::MouseButtonPress && watched->isWidgetType()) {
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() == this && (target->focusPolicy() & Qt::ClickFocus) && !validateBeforeLeaving(target))
      return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::setTopmost(bool on) { platform::services().window->setTopmost(this, on); }

// ---------------------------------------------------------------------------------------
// Menus

void frmMain::menuAlwaysOnTop_Click() {
  // The action has toggled its own mark already.
  const bool on = menuAlwaysOnTop->isChecked();
  setTopmost(on);
  platform::ignoreErrors([&] { writeSetting("AlwaysOnTopMenu", QString::fromLatin1(platform::vbBoolText(on))); });
}

void frmMain::menuAutoQuit_Click() {
  platform::ignoreErrors(
      [&] { writeSetting("AutoQuitMenu", QString::fromLatin1(platform::vbBoolText(menuAutoQuit->isChecked()))); });
}

void frmMain::menuAutoStart_Click() {
  const bool on = menuAutoStart->isChecked();
  platform::ignoreErrors([&] { writeSetting("AutoStartMenu", QString::fromLatin1(platform::vbBoolText(on))); });
  platform::ignoreErrors([&] { SetRunEntry(on); });
}

bool frmMain::fileexists(const QString& path) {
  QFile f(path);
  const bool ok = f.open(QIODevice::ReadOnly);
  f.close();
  return ok;
}

void frmMain::menuHelp_Click() {
  const QString file = Registry::programFolder() + QStringLiteral("/readme.txt");
  if (!fileexists(file)) {
    platform::services().messageBox->msgBox(QStringLiteral("The Alarm readme.txt seems to be missing..."),
                                            platform::mb::kExclamation, QStringLiteral("Info"));
    return;
  }
  platform::services().shell->openTextFile(file);
}

void frmMain::menuAbout_Click() {
  if (about_ && about_->isVisible()) return;
  about_ = new frmAbout(this);
  QPointer<frmAbout> box = about_;
  box->exec();
  if (!box) about_ = nullptr;
}

void frmMain::menuExit_Click() { requestUnload(vbFormCode); }

void frmMain::menuPrefs_Click() { parts_->showPrefs(*this); }

void frmMain::menuEdit_Click() {
  if (cboAMPM->isEnabled())
    lblHDDNfromboxes =
        txtHRS->text() + ":" + txtMIN->text() + ":" + txtSEC->text() + " " + cboAMPM->currentText();
  else
    lblHDDNfromboxes = txtHRS->text() + ":" + txtMIN->text() + ":" + txtSEC->text();
}

void frmMain::menuAMPM_Click(int index) {
  // 1. The marks and the list.
  if (index == 0) {
    menuAMPM[1]->setChecked(false);
    cboAMPM->setEnabled(true);
  } else {
    menuAMPM[0]->setChecked(false);
    cboAMPM->setEnabled(false);
  }
  menuAMPM[static_cast<std::size_t>(index)]->setChecked(true);

  // 2. The fields follow the mode; fields that do not form a time of day stay as they are.
  applyClockModeRange();
  if (const auto t = platform::timeValue(lblHDDNfromboxes)) {
    if (is24()) {
      lblHDDNfromboxes = platform::formatTime(*t, platform::kFmt24);
      txtHRS->setText(platform::formatTime(*t, QStringLiteral("hh")));
      txtMIN->setText(platform::formatTime(*t, QStringLiteral("nn")));
      txtSEC->setText(platform::formatTime(*t, QStringLiteral("ss")));
    } else {
      lblHDDNfromboxes = platform::formatTime(*t, platform::kFmtAmPm);
      fillFieldsFromAmPm(lblHDDNfromboxes);
    }
  }

  // 3. An armed alarm's text follows the mode; the moment stays.
  if (lblHDDNtime != QLatin1String("lblHDDNtime")) {
    if (const auto t = platform::timeValue(lblHDDNtime)) {
      lblHDDNtime = engine::alarmText(*t, is24());
      setStatus(engine::activatedText(lblHDDNtime), statusColour_);
    }
  }

  // The displays show the new form at once, not at the next tick.
  showTime(engine::clockText(platform::services().clock->now().time(), is24()));

  // 4. Remember the mode.
  platform::ignoreErrors([&] { writeSetting("AMPMMenuIndex", QString::number(index)); });
  platform::ignoreErrors(
      [&] { writeSetting("AMPMcboEnabled", QString::fromLatin1(platform::vbBoolText(cboAMPM->isEnabled()))); });
}

void frmMain::fillFieldsFromAmPm(const QString& s) {
  const engine::AmPmFields f = engine::cutAmPmText(s);
  txtHRS->setText(f.hours);
  txtMIN->setText(f.minutes);
  txtSEC->setText(f.seconds);
  cboAMPM->setCurrentIndex(f.half == QLatin1String("AM") ? 0 : 1);
}

void frmMain::menuLedcolour_Click(int index) {
  Lumicell1->putColor(index);
  for (int i = 0; i < 3; ++i) menuLedcolour[static_cast<std::size_t>(i)]->setChecked(i == index);
  platform::ignoreErrors([&] { writeSetting("LedColourMenuIndex", QString::number(index)); });
  lblHDDNTempInteger = QString::number(index);
}

void frmMain::menuLedsize_Click(int index) {
  Lumicell1->putSize(index);
  menuLedsize[static_cast<std::size_t>(1 - index)]->setChecked(false);
  Lumicell1->putSize(index);
  centreDisplay();
  menuLedsize[static_cast<std::size_t>(index)]->setChecked(true);
  platform::ignoreErrors([&] { writeSetting("LedSizeMenuIndex", QString::number(index)); });
}
