#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Alarm needs (only those missing, through sudo when not
# root) and builds everything into build/ (or $BUILD_DIR).
#   scripts/setup.sh [--sanitize]   --sanitize builds with AddressSanitizer + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=OFF
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON ;;
    *) echo "setup.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

mapfile -t wanted < <(grep -vE '^[[:space:]]*(#|$)' scripts/packages.txt)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "$sanitize" = ON ]; then
  build=${BUILD_DIR:-build-asan}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DALARM_SANITIZE=ON -DALARM_WERROR=ON -DALARM_BUILD_BENCH=OFF
else
  build=${BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALARM_WERROR=ON
fi
cmake --build "$build" -j"$(nproc)"
