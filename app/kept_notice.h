// SPDX-License-Identifier: GPL-3.0-or-later
// A notice the program could not show because it was ending, kept in a small file for the
// next start to show: $XDG_STATE_HOME (else ~/.local/state) /Orvanta/<program>.notice, away
// from the settings folder, whose trouble it usually tells.
#pragma once

#include <QString>
#include <optional>

namespace keptnotice {

struct Notice {
  QString title, text;
};

// Keeps it (replacing one kept before); false when it could not be written.
bool keep(const Notice& notice);
// The notice kept by an earlier run, taken away; none when there is none.
std::optional<Notice> take();

}  // namespace keptnotice
