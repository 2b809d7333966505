// SPDX-License-Identifier: GPL-3.0-or-later
// Twips, the unit the window layouts are given in: 15 twips to a pixel (96 dots per inch).
#pragma once

// Twips to pixels, halves away from zero, and back.
inline int twipsToPx(double twips) { return static_cast<int>(twips >= 0 ? twips / 15.0 + 0.5 : twips / 15.0 - 0.5); }
inline int pxToTwips(int px) { return px * 15; }
