// SPDX-License-Identifier: GPL-3.0-or-later
// The read-only text window.
#include "platform/text_window.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/log.h"

namespace platform {

QWidget* showTextWindow(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    logEvent(("cannot read " + path).toStdString());
    return nullptr;
  }
  auto* window = new QWidget;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setObjectName(QStringLiteral("textWindow"));
  window->setWindowTitle(QFileInfo(path).fileName());
  auto* text = new QPlainTextEdit(window);
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text->setPlainText(QString::fromUtf8(file.readAll()));
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text);
  window->resize(640, 480);
  window->show();
  window->raise();
  window->activateWindow();
  logEvent(("no text viewer opened " + path + ": shown in the program's own window").toStdString());
  return window;
}

}  // namespace platform
