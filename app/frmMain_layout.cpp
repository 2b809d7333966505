// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls and menus, placed as designed (in twips), and what each
// control and menu entry runs.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "alarm/timetext.h"
#include "app/clock_display.h"
#include "app/frmMain.h"
#include "app/main_parts.h"
#include "app/program_style.h"
#include "platform/digits_validator.h"
#include "platform/services.h"
#include "platform/place_twips.h"
#include "platform/twips.h"
#include "platform/updown.h"

namespace {

// The geometry of a control given in twips.

}  // namespace

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

  // The hidden control sits below the client area.
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
  QAction* menuAlarmDays = add(menuEdit, "menuAlarmDays", QStringLiteral("Alarm Days..."));
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
  auto trayEntry = [this](const char* name, const QString& caption) {
    QAction* a = menuDummy->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  menuTrayLaunch = trayEntry("menuTrayLaunch", QStringLiteral("Launch"));
  menuTrayAlarmTime = trayEntry("menuTrayAlarmTime", QStringLiteral("Alarm Time"));
  menuTrayAlarmTime->setVisible(false);
  menuDummy->addSeparator()->setObjectName(QStringLiteral("menuSeparator06"));
  menuTrayHelp = trayEntry("menuTrayHelp", QStringLiteral("Help"));
  menuTrayAbout = trayEntry("menuTrayAbout", QStringLiteral("About"));
  menuTrayExit = trayEntry("menuTrayExit", QStringLiteral("Exit"));

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
  connect(menuAlarmDays, &QAction::triggered, this, &frmMain::menuAlarmDays_Click);
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

