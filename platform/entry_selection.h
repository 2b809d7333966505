// SPDX-License-Identifier: GPL-3.0-or-later
// Typing into an entry box replaces its whole text: the box is selected when it takes the
// focus. At once, for the keys that may already be on their way (a key typed right after Tab
// under load would otherwise be selected and then replaced by the next one, "31" becoming
// "1"), and again once a click has placed the cursor, unless a key has come in between.
#pragma once

#include <QtGlobal>
#include <functional>

class QEvent;
class QLineEdit;

namespace platform {

class EntrySelection {
 public:
  // Call from the event filter with every event of the box; `select` selects the focused box.
  void onEvent(QLineEdit* box, const QEvent* event, const std::function<void()>& select);

 private:
  quint64 keys_ = 0;
};

}  // namespace platform
