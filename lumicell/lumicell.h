// SPDX-License-Identifier: GPL-3.0-or-later
// The public face of the Lumicell digit display control: its programmatic identifier,
// the dispatch ids of its properties and its enumerations, for hosts that bind late.
#pragma once

#include <cstdint>

namespace lumicell {

inline constexpr const char* kProgId = "Kestrava.Lumicell";

// Dispatch ids of the properties of _Lumicell.
inline constexpr int32_t kDispDigitDisplay = 0x68030008;
inline constexpr int32_t kDispDigitSize = 0x68030009;
inline constexpr int32_t kDispDigitPlaceHolders = 0x6803000A;
inline constexpr int32_t kDispDigitOutLine = 0x6803000B;
inline constexpr int32_t kDispDigitJustify = 0x6803000C;
inline constexpr int32_t kDispDigitColor = 0x6803000D;
inline constexpr int32_t kDispDigitError = 0x6803000E;
inline constexpr int32_t kDispDigitFormat = 0x6803000F;

enum JustifyConstants : int32_t { dgLeft = 0, dgRight = 1 };
enum FormatConstants : int32_t { dgGeneral = 0, dgShortTime = 1, dgLongTime = 2, dgDecimal = 3 };
enum SizeConstants : int32_t { dgSmall = 0, dgLarge = 1 };
enum ColorConstants : int32_t { dgBlue = 0, dgGreen = 1, dgRed = 2 };

}  // namespace lumicell
