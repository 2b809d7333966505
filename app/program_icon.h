// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon (window, notification area, About box).
#pragma once

#include <QIcon>

// Built into the program as pixels at each size (assets/alarm.svg, rendered at build time): no image
// file is decoded at start. A QIcon made from a file name would even ask every installed
// image format plugin what the file is, and keep them all loaded.
QIcon programIcon();
