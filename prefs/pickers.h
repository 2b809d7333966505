// SPDX-License-Identifier: GPL-3.0-or-later
// The file-open and font dialogs the preferences use (the common dialog), behind one small
// service so tests can answer them.
#pragma once

#include <QString>
#include <optional>

class QFont;
class QWidget;

namespace prefs {

class Pickers {
 public:
  virtual ~Pickers() = default;
  // A file-open dialog for an existing file. filter is written "Name (patterns)|patterns|..."
  // with patterns separated by ";". Returns the chosen file's full path, or "" on Cancel.
  virtual QString openFile(QWidget* owner, const QString& title, const QString& filter) = 0;
  // A font dialog starting at current; the chosen face name, or nothing on Cancel.
  virtual std::optional<QString> chooseFont(QWidget* owner, const QString& title, const QFont& current) = 0;
};

// The dialogs in use: the desktop's unless a test installed others.
Pickers& pickers();
void setPickers(Pickers* p);  // nullptr goes back to the real dialogs

// The "Name|patterns|..." filter as file dialog name filters ("Name (*.a *.b)"); "*.*"
// means every file.
QString nameFilters(const QString& filter);

}  // namespace prefs
