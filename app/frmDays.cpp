// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm days dialog.
#include "app/frmDays.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/errors.h"
#include "platform/services.h"
#include "platform/stay_with_owner.h"

frmDays::frmDays(QWidget* owner, const WeekDays& days) : QDialog(owner) {
  setObjectName(QStringLiteral("frmDays"));
  setWindowTitle(QStringLiteral("Alarm Days"));
  setWindowFlags(platform::dialogFlags(Qt::Tool, false));
  new platform::StayWithOwner(this, false);
  platform::ignoreErrors([this] { platform::services().window->setTopmost(this, true); });

  auto* boxes = new QVBoxLayout;
  boxes->addWidget(new QLabel(QStringLiteral("Ring the alarm on:"), this));
  static const char* const names[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
  for (int d = 1; d <= 7; ++d) {
    auto* box = new QCheckBox(QString::fromLatin1(names[d - 1]), this);
    box->setObjectName("chk" + WeekDays::shortName(d));
    box->setChecked(days.has(d));
    chkDay_[static_cast<std::size_t>(d - 1)] = box;
  }
  // In the order of the user's week.
  const int first = QLocale().firstDayOfWeek();
  for (int i = 0; i < 7; ++i) boxes->addWidget(chkDay_[static_cast<std::size_t>((first - 1 + i) % 7)]);

  auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  auto* cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAutoDefault(false);
  connect(cmdOK, &QPushButton::clicked, this, &frmDays::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addStretch();
  auto* all = new QHBoxLayout(this);
  all->addLayout(boxes);
  all->addLayout(buttons);
  all->setSizeConstraint(QLayout::SetFixedSize);
}

WeekDays frmDays::days() const {
  WeekDays days = WeekDays::none();
  for (int d = 1; d <= 7; ++d) days.set(d, chkDay_[static_cast<std::size_t>(d - 1)]->isChecked());
  return days;
}

void frmDays::cmdOK_Click() {
  if (days().empty()) {
    platform::services().messageBox->msgBox(QStringLiteral("Please choose at least one day for the alarm."),
                                            platform::mb::kExclamation, QStringLiteral("Not a single day?"));
    return;
  }
  accept();
}
