#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Alarm, registers its LED display control and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build bash scripts/setup.sh

# The LED display control registers itself for the current user.
build/bin/regsvr "$PWD/build/bin/liblumicell.so"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<'TXT'
Alarm is built, but there is no graphical desktop here (DISPLAY is not set), so it cannot
show its window. To run it anyway on a virtual screen:

    xvfb-run -a build/bin/Alarm

TXT
  exit 1
fi
exec build/bin/Alarm "$@"
