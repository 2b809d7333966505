#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Alarm and runs every test.
#   scripts/test.sh [--sanitize]   --sanitize builds and runs the tests under ASan + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
build=build
[ "${1:-}" = "--sanitize" ] && build=build-asan
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
