// SPDX-License-Identifier: GPL-3.0-or-later
// The real file-open and font dialogs.
#include "prefs/pickers.h"

#include <QFileDialog>
#include <QFont>
#include <QFontDialog>
#include <QStringList>

namespace prefs {

namespace {

class QtPickers final : public Pickers {
 public:
  QString openFile(QWidget* owner, const QString& title, const QString& filter) override {
    QFileDialog dialog(owner, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(nameFilters(filter).split(QStringLiteral(";;")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
  }
  std::optional<QString> chooseFont(QWidget* owner, const QString& title, const QFont& current) override {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, current, owner, title);
    if (!ok) return std::nullopt;
    return chosen.family();
  }
};

Pickers* g_pickers = nullptr;

}  // namespace

Pickers& pickers() {
  static QtPickers real;
  return g_pickers ? *g_pickers : real;
}

void setPickers(Pickers* p) { g_pickers = p; }

QString nameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    const qsizetype paren = name.indexOf('(');
    if (paren > 0) name = name.left(paren).trimmed();
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns)
      if (p.trimmed() == QLatin1String("*.*")) p = QStringLiteral("*");
    if (!name.isEmpty() && !patterns.isEmpty()) out << name + " (" + patterns.join(' ') + ")";
  }
  return out.join(QStringLiteral(";;"));
}

}  // namespace prefs
