// SPDX-License-Identifier: GPL-3.0-or-later
// The snooze and hide-alert interval dialogs.
#include "notify/interval_dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <algorithm>

#include "alarm/alarm_settings.h"
#include "platform/digits_validator.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/stay_with_owner.h"
#include "platform/place_twips.h"
#include "platform/twips.h"
#include "platform/updown.h"

IntervalDialog::IntervalDialog(const Design& d, QWidget* parent)
    : QDialog(parent), default_(d.defaultMinutes) {
  setWindowTitle(QString::fromLatin1(d.title));
  setWindowFlags(platform::dialogFlags(Qt::Tool, false));
  new platform::StayWithOwner(this, false);

  lblInfo = new QLabel(QString::fromLatin1(d.info), this);
  lblInfo->setObjectName(QStringLiteral("lblInfo"));
  lblInfo->setWordWrap(true);
  lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // As high as the text needs in the desktop's font, at least the designed height.
  const int infoHeight = std::max(d.infoHeightTwips, pxToTwips(lblInfo->heightForWidth(twipsToPx(3255))));
  placeTwips(lblInfo, 120, 120, 3255, infoHeight);

  const int frameTop = 120 + infoHeight + 60;
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  placeTwips(Frame1, 120, frameTop, 1575, 615);
  box_ = new QLineEdit(QStringLiteral("15"), Frame1);
  box_->setObjectName(QString::fromLatin1(d.boxName));
  // Digits only; four of them hold any usable interval a stored value may have.
  box_->setMaxLength(4);
  box_->setValidator(new DigitsValidator(4, box_));
  placeTwips(box_, 120, 180, 855, 315);
  // The spinner's range is the box's: every usable interval.
  UpDown1 = new UpDown(box_, 1, 1439, Frame1);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  placeTwips(UpDown1, 975, 180, 255, 315);
  box_->installEventFilter(this);  // the arrow keys step the spinner

  set_ = new QPushButton(QStringLiteral("Set"), this);
  set_->setObjectName(QString::fromLatin1(d.setName));
  set_->setDefault(true);
  placeTwips(set_, 3495, 120, 1095, 375);
  cmdDefault = new QPushButton(QStringLiteral("Default"), this);
  cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
  cmdDefault->setAutoDefault(false);
  placeTwips(cmdDefault, 3495, 555, 1095, 375);

  setTabOrder(box_, set_);
  setTabOrder(set_, cmdDefault);
  setFixedSize(twipsToPx(4710), twipsToPx(std::max(frameTop + 615, 930) + 120));

  connect(set_, &QPushButton::clicked, this, &IntervalDialog::cmdSet_Click);
  connect(cmdDefault, &QPushButton::clicked, this, &IntervalDialog::cmdDefault_Click);
}

void IntervalDialog::Form_Load(int minutes) {
  platform::ignoreErrors([this] { platform::services().window->setTopmost(this, true); });
  box_->setText(QString::number(minutes));
}

void IntervalDialog::cmdDefault_Click() { box_->setText(QString::number(default_)); }

void IntervalDialog::cmdSet_Click() {
  // The box takes digits only; what it cannot hold as an interval is refused here rather
  // than stored and ignored by the alarm.
  if (!usableMinutes(box_->text())) {
    platform::services().messageBox->msgBox(QStringLiteral("Please enter a value in the range of 1 - 1439."),
                                            platform::mb::kExclamation,
                                            QStringLiteral("I'm afraid I can't do that Tobrin..."));
    box_->setFocus();
    return;
  }
  platform::ignoreErrors([this] { done(QDialog::Accepted); });
}

std::optional<int> IntervalDialog::showModal(QWidget* owner) {
  // Modal to the window that opened it, so the rest of the program keeps answering.
  if (parentWidget() != owner) setParent(owner, windowFlags());
  setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  box_->setFocus();
  const QPointer<IntervalDialog> self = this;
  const int result = exec();
  if (!self || result != QDialog::Accepted) return std::nullopt;
  return usableMinutes(box_->text());
}

void IntervalDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

bool IntervalDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == box_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      UpDown1->step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void IntervalDialog::closeEvent(QCloseEvent* event) {
  // Closed through its frame: hidden, and nothing handed back; the interval stays as it was.
  done(QDialog::Rejected);
  event->accept();
}

frmSnooze::frmSnooze(QWidget* parent)
    : IntervalDialog({"Snooze Interval", "txtSnoozeMinutes", "Set the snooze interval here (minutes)", 255,
                      "cmdSetSnoozeMinutes", AlarmSettings::kDefaultSnoozeMinutes},
                     parent) {
  setObjectName(QStringLiteral("frmSnooze"));
}

frmHideAlert::frmHideAlert(QWidget* parent)
    : IntervalDialog({"Hide Alarm Messages", "txtHideAlertMinutes",
                      "Here you can set the time when Alarm messages should automatically go away (when you don't press "
                      "the Snooze or Stop button, or in your absence). Time is set in minutes:",
                      870, "cmdSetHideAlertMinutes", AlarmSettings::kDefaultHideAlertMinutes},
                     parent) {
  setObjectName(QStringLiteral("frmHideAlert"));
}
