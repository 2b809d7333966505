// SPDX-License-Identifier: GPL-3.0-or-later
// Placing a control as the window layouts give it: left, top, width and height in twips.
#pragma once

#include <QWidget>

#include "platform/twips.h"

inline void placeTwips(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}
