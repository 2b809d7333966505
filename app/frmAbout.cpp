// SPDX-License-Identifier: GPL-3.0-or-later
// The About box.
#include "app/frmAbout.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/program_icon.h"
#include "platform/errors.h"
#include "platform/stay_with_owner.h"
#include "platform/fileexists.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "version.h"

QString frmAbout::linkTarget() { return Registry::programFolder() + QStringLiteral("/readme.txt"); }

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About"));
  setWindowFlags(platform::dialogFlags(Qt::Dialog, false));
  new platform::StayWithOwner(this, false);
  setAttribute(Qt::WA_DeleteOnClose);
  // Modal to the main window only: the tray icon still answers while the box shows.
  setWindowModality(Qt::WindowModal);
  imgicon = new QLabel(this);
  imgicon->setPixmap(programIcon().pixmap(32, 32));
  lblprogtitle = new QLabel(this);
  QFont big = lblprogtitle->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  lblprogtitle->setFont(big);
  lblversion = new QLabel(this);
  lblcopyright = new QLabel(this);
  lblcopyright2 = new QLabel(QStringLiteral("A desktop alarm clock with an LED display."), this);
  lblurl = new QLabel(QStringLiteral("readme.txt"), this);
  lblurl->setToolTip(linkTarget());
  lblurl->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
  lblurl->setCursor(Qt::PointingHandCursor);  // the pointing hand over the link
  lblurl->installEventFilter(this);
  cmdok = new QPushButton(QStringLiteral("&Ok"), this);
  cmdok->setDefault(true);
  connect(cmdok, &QPushButton::clicked, this, &frmAbout::cmdok_Click);

  auto* grid = new QGridLayout(this);
  grid->addWidget(imgicon, 0, 0, 3, 1, Qt::AlignTop);
  grid->addWidget(lblprogtitle, 0, 1);
  grid->addWidget(lblversion, 1, 1);
  grid->addWidget(lblcopyright, 2, 1);
  grid->addWidget(lblcopyright2, 3, 1);
  grid->addWidget(lblurl, 4, 1);
  grid->addWidget(cmdok, 5, 1, Qt::AlignRight);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  Form_Load();
}

void frmAbout::Form_Load() {
  platform::services().window->setTopmost(this, true);
  lblprogtitle->setText(QString::fromUtf8(version::kProductName));
  lblversion->setText(
      QStringLiteral("Version %1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision));
  const int year = platform::services().clock->now().date().year();
  lblcopyright->setText(QStringLiteral("Copyright \u00A9 Orvanta 2004-%1").arg(year, 4, 10, QLatin1Char('0')));
}

void frmAbout::cmdok_Click() { close(); }

void frmAbout::lblurl_Click() {
  // The program's own readme: the one page about it that is always at hand.
  const QString readme = linkTarget();
  if (fileexists(readme))
    platform::services().shell->open(readme);
  else
    platform::services().messageBox->msgBox(QStringLiteral("The Alarm readme.txt seems to be missing..."),
                                            platform::mb::kExclamation, QStringLiteral("Info"));
  close();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblurl && event->type() == QEvent::MouseButtonRelease) {
    lblurl_Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
