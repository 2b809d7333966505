// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own read-only window for a text file, for a desktop that cannot open one.
#pragma once

class QString;
class QWidget;

namespace platform {

// Shows the file in a plain read-only window titled with its name; the window deletes
// itself when closed. Returns it (nullptr when the file cannot be read).
QWidget* showTextWindow(const QString& path);

}  // namespace platform
