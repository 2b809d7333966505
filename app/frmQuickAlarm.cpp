// SPDX-License-Identifier: GPL-3.0-or-later
// The quick alarm dialog.
#include "app/frmQuickAlarm.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "alarm/timetext.h"
#include "app/frmMain.h"
#include "platform/convert.h"
#include "platform/stay_with_owner.h"
#include "platform/digits_validator.h"
#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/updown.h"

namespace {
const QString kDefaultMinutes = QStringLiteral("25");
}

frmQuickAlarm::frmQuickAlarm(frmMain& main) : QDialog(&main), main_(main) {
  setWindowTitle(QStringLiteral("Quick Alarm"));
  setWindowFlags(platform::dialogFlags(Qt::Tool, false));
  new platform::StayWithOwner(this, false);
  lblInfo = new QLabel(QStringLiteral("Wake me up in ... minutes :"), this);
  Frame1 = new QGroupBox(this);
  txtMinutes = new QLineEdit(QStringLiteral("120"), Frame1);
  txtMinutes->setObjectName(QStringLiteral("txtMinutes"));
  txtMinutes->setMaxLength(3);
  txtMinutes->setValidator(new DigitsValidator(3, txtMinutes));
  txtMinutes->setFixedWidth(40);
  txtMinutes->installEventFilter(this);
  UpDown1 = new UpDown(txtMinutes, 1, 120, Frame1);
  UpDown1->setFixedSize(16, txtMinutes->sizeHint().height());
  auto* frameLayout = new QHBoxLayout(Frame1);
  frameLayout->addWidget(txtMinutes);
  frameLayout->addWidget(UpDown1);
  frameLayout->addStretch();
  cmdSetMinutes = new QPushButton(QStringLiteral("Set"), this);
  cmdSetMinutes->setDefault(true);
  cmdSetMinutes->setAutoDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cmdCancel->setAutoDefault(false);
  connect(cmdSetMinutes, &QPushButton::clicked, this, &frmQuickAlarm::cmdSetMinutes_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmQuickAlarm::cmdCancel_Click);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdSetMinutes);
  buttons->addWidget(cmdCancel);
  buttons->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(lblInfo);
  left->addWidget(Frame1);
  auto* all = new QHBoxLayout(this);
  all->addLayout(left);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmQuickAlarm::Form_Load() {
  loaded_ = true;
  platform::services().window->setTopmost(this, true);
  QString minutes = Registry::readSetting(QStringLiteral("QuickAlarm"));
  if (minutes == QLatin1String("Error")) minutes = kDefaultMinutes;
  txtMinutes->setText(minutes.left(txtMinutes->maxLength()));
}

void frmQuickAlarm::showModal() {
  if (!loaded_) Form_Load();
  txtMinutes->setFocus();
  exec();
}

void frmQuickAlarm::cmdSetMinutes_Click() {
  const double v = platform::vbVal(txtMinutes->text().toStdString());
  const double n = std::isfinite(v) ? platform::roundHalfEven(v) : 0;
  if (n <= 0 || n >= 121) {
    platform::services().messageBox->msgBox(QStringLiteral("Please enter a value in the range of 1 - 120."),
                                            platform::mb::kExclamation,
                                            QStringLiteral("I'm afraid I can't do that Tobrin..."));
    txtMinutes->setFocus();
    return;
  }
  const QString text = txtMinutes->text();
  Registry::writeSetting(QStringLiteral("QuickAlarm"), text);
  main_.startTimer(text);  // it reports its own errors
  hide();
  setResult(QDialog::Accepted);
}

void frmQuickAlarm::cmdCancel_Click() {
  if (txtMinutes->text().isEmpty()) txtMinutes->setText(kDefaultMinutes);
  hide();
  setResult(QDialog::Rejected);
}

void frmQuickAlarm::closeEvent(QCloseEvent* event) {
  // Closing through the window frame unloads the dialog: the next use loads it again.
  loaded_ = false;
  QDialog::closeEvent(event);
}

void frmQuickAlarm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    cmdCancel_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool frmQuickAlarm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtMinutes) {
    entrySelection_.onEvent(txtMinutes, event, [this] { main_.SetSelected(); });
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const QString text = key->text();
      if (!text.isEmpty() && text[0].isPrint() && !engine::isEntryKey(text[0].unicode())) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
