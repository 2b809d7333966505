// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/entry_selection.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace platform {

void EntrySelection::onEvent(QLineEdit* box, const QEvent* event, const std::function<void()>& select) {
  if (event->type() == QEvent::KeyPress) ++keys_;
  if (event->type() != QEvent::FocusIn) return;
  select();
  QTimer::singleShot(0, box, [this, box, keys = keys_, select] {
    if (box->hasFocus() && keys_ == keys) select();
  });
}

}  // namespace platform
