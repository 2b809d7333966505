// SPDX-License-Identifier: GPL-3.0-or-later
// PlaySound: a wave file played once, without waiting, or the beep when the machine has no
// audio output.
#pragma once

class QString;

namespace audio {

void PlaySound(const QString& file);

}  // namespace audio
