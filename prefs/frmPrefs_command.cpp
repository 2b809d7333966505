// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences' Alarm/Command frame: the command box, Activate, Test.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "alarm/command_start.h"
#include "platform/convert.h"
#include "platform/log.h"
#include "prefs/frmPrefs.h"

namespace {

const QString kCommandTip = QStringLiteral(" Enter your command here... ");
const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

void frmPrefs::chkCommand_Click() {
  const bool on = chkCommand->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(txtCommand), static_cast<QWidget*>(cmdTestCommand),
                     static_cast<QWidget*>(chkMSDOS)})
    w->setEnabled(on);
}

void frmPrefs::txtCommand_Change() {
  txtCommand->setToolTip(txtCommand->text().isEmpty() ? kCommandTip : txtCommand->text());
  if (txtCommand->text().size() <= kMaxStoredText) lastCommand_ = txtCommand->text();
}

void frmPrefs::txtCommand_Edited(const QString& text) {
  if (text.size() <= kMaxStoredText) return;
  // The settings could not give such a command back whole, and a cut one would run at
  // alarm time: the box keeps what it had, and the user is told.
  platform::logEvent(QStringLiteral("a command of %1 characters refused").arg(text.size()).toStdString());
  txtCommand->setText(lastCommand_);
  warn("This command is too long to be remembered (more than 254 characters)." + kCrLf +
           "Please shorten it, or put it in a script and enter the script's path.",
       QStringLiteral("Oops..."));
}

void frmPrefs::cmdTestCommand_Click() {
  txtCommand->setText(QString::fromStdString(platform::vbTrim(txtCommand->text().toStdString())));
  if (txtCommand->text().isEmpty()) {
    warn("You have not entered a command string." + kCrLf +
             "Please unmark the \"Activate\" box under Alarm/Command or enter a command to correct this.",
         QStringLiteral("Oops..."));
    return;
  }
  try {
    engine::startCommand(txtCommand->text(), chkMSDOS->isChecked());
  } catch (const std::exception& e) {
    platform::logEvent(("the command " + txtCommand->text() + " failed: " + QString::fromUtf8(e.what())).toStdString());
    warn("Your command generated an error." + kCrLf +
             "Please check the syntax you entered into the text box, and try again. Also try your command with the "
             "MSDOS option checked/unchecked.",
         QStringLiteral("Command Error"));
  }
}
