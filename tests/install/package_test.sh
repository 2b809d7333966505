#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package on this machine: build it with cpack, let lintian read it (no error,
# every warning fixed or overridden), install it with apt (stripped, its debug symbols in
# the -dbgsym package), start
# `alarm` from the menu entry's path in a real X server as an ordinary account with a
# fresh configuration (only the package's machine-wide registration), then remove the
# package and check that none of its files, nor its registration, is left, and purge it. Whatever
# happens, the machine is left as it was: the package and any package apt brought in
# with it are purged on exit.
# Usage: package_test.sh BUILD_DIR        (exit 77: skipped when not root or without apt)
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(mktemp -d /tmp/alarm-package-XXXXXX)
chmod 755 "$ROOT"
source "$HERE/x_session.sh"

BEFORE=$ROOT/packages-before ADDED=$ROOT/packages-added
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '/^ii/ { print $2 }' | sort; }
restore_machine() {
  end_processes
  if dpkg-query -W -f='${Status}' alarm 2>/dev/null | grep -qv "not-installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q alarm >/dev/null 2>&1 || dpkg --purge alarm >/dev/null 2>&1 || true
  fi
  # Packages apt installed for ours go again.
  if [ -s "$ADDED" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q $(cat "$ADDED") >/dev/null 2>&1 || true
  fi
  rm -rf "$ROOT"
}
trap restore_machine EXIT

[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: installing a package needs root"; exit 77; }
need_tools apt-get dpkg-shlibdeps cpack setpriv Xvfb openbox xdotool lintian readelf desktop-file-validate
if dpkg-query -W -f='${Status}' alarm 2>/dev/null | grep -q "install ok installed"; then
  trap - EXIT
  rm -rf "$ROOT"
  fail "a package named alarm is installed on this machine already; this test would replace it"
fi
(cd "$BUILD" && cpack -G DEB -B "$ROOT/pkg" >"$ROOT/cpack.out" 2>&1) || { cat "$ROOT/cpack.out"; fail "cpack"; }
DEB=$(ls "$ROOT"/pkg/alarm_*.deb)
DBGSYM=$(ls "$ROOT"/pkg/alarm-dbgsym_*.ddeb)
echo "package: $(basename "$DEB"), $(du -k "$DEB" | cut -f1) KiB, installed $(dpkg-deb -f "$DEB" Installed-Size) KiB"
echo "debug symbols: $(basename "$DBGSYM"), $(du -k "$DBGSYM" | cut -f1) KiB"
dpkg-deb -f "$DEB" Depends Recommends

# lintian as an ordinary user, as a packager runs it.
mkdir "$ROOT/lint"
chown nobody:nogroup "$ROOT/lint"
set +e
LINT=$(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin HOME="$ROOT/lint" \
  lintian --fail-on error,warning --display-info "$DEB" 2>&1)
STATUS=$?
set -e
echo "lintian: ${LINT:-no remarks}"
[ "$STATUS" -eq 0 ] || fail "lintian ($STATUS)"
# Its notes too: every binary is linked for immediate binding and uses the checked functions.
! grep -q "hardening-" <<<"$LINT" || fail "lintian finds hardening missing"

installed_packages >"$BEFORE"
STATUS=0
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$DEB" >"$ROOT/apt.out" 2>&1 || STATUS=$?
comm -13 "$BEFORE" <(installed_packages) | grep -v '^alarm:' >"$ADDED" || true
[ "$STATUS" -eq 0 ] || { cat "$ROOT/apt.out"; fail "apt-get install"; }
dpkg-query -L alarm | sort >"$ROOT/files"
[ -f /etc/xdg/Classes/Kestrava.Lumicell.conf ] || fail "the package did not register the display control"
command -v alarm | grep -qx /usr/bin/alarm || fail "alarm is not /usr/bin/alarm"
# Stripped, and the debug symbols of the very binary in the -dbgsym package.
file /usr/lib/alarm/Alarm | grep -q ', stripped' || fail "the installed program is not stripped"
ID=$(readelf -n /usr/lib/alarm/Alarm | sed -n 's/.*Build ID: //p')
grep -q "usr/lib/debug/.build-id/${ID:0:2}/${ID:2}.debug" <<<"$(dpkg-deb -c "$DBGSYM")" || fail "no debug symbols for Alarm ($ID)"
grep -qx 'Exec=/usr/bin/alarm' /usr/share/applications/com.orvanta.alarm.desktop || fail "the menu entry's Exec"
VALID=$(desktop-file-validate /usr/share/applications/com.orvanta.alarm.desktop 2>&1 || true)
[ -z "$VALID" ] || fail "desktop-file-validate on the installed entry: $VALID"

# An ordinary account that never registered anything, and cannot register for all users.
USERDIR=$ROOT/nobody
mkdir -p "$USERDIR/config" "$USERDIR/runtime"
chown -R nobody:nogroup "$USERDIR"
chmod 700 "$USERDIR/runtime"
# A command line, not a function: started in the background it is the program's own
# process (every step execs the next), so $! is the program's pid.
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups
  env -i PATH=/usr/bin:/bin DISPLAY="${DISPLAY:-}" HOME="$USERDIR" XDG_CONFIG_HOME="$USERDIR/config"
  XDG_RUNTIME_DIR="$USERDIR/runtime")
set +e
"${as_nobody[@]}" /usr/lib/alarm/regsvr --system /usr/lib/alarm/liblumicell.so >"$ROOT/regsvr.out" 2>&1
STATUS=$?
set -e
[ "$STATUS" -eq 6 ] && grep -q "needs root" "$ROOT/regsvr.out" || fail "regsvr --system as nobody: $STATUS $(cat "$ROOT/regsvr.out")"
start_x
"${as_nobody[@]}" DISPLAY="$DISPLAY" alarm --log "$USERDIR/alarm.log" >"$ROOT/alarm.out" 2>&1 &
APP=$!
PIDS+=($APP)
main_window "$APP" 30 >/dev/null || { cat "$USERDIR/alarm.log" "$ROOT/alarm.out" 2>/dev/null; fail "no main window"; }
[ -f "$USERDIR/config/Orvanta/Alarm.conf" ] || fail "no settings in Orvanta/Alarm.conf"
[ ! -e "$USERDIR/config/Classes" ] || fail "a per-user registration appeared"
kill -TERM "$APP"
for _ in $(seq 50); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q alarm >"$ROOT/apt.out" 2>&1 || { cat "$ROOT/apt.out"; fail "apt-get remove"; }
LEFT=$(while read -r f; do
  if [ -L "$f" ] || { [ -e "$f" ] && [ ! -d "$f" ]; }; then echo "$f"; fi
done <"$ROOT/files")
[ -z "$LEFT" ] || fail "files left after removal: $LEFT"
for d in /usr/lib/alarm /etc/xdg/Classes; do [ ! -e "$d" ] || fail "$d is left after removal"; done
# dpkg may keep the package's record until it is purged, as for any package; no more.
STATUS=$(dpkg-query -W -f='${Status}' alarm 2>/dev/null || true)
case "$STATUS" in "" | *not-installed | *config-files) ;; *) fail "dpkg still has alarm: $STATUS" ;; esac
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q alarm >"$ROOT/apt.out" 2>&1 || { cat "$ROOT/apt.out"; fail "apt-get purge"; }
! ls /var/lib/dpkg/info/alarm.* >/dev/null 2>&1 || fail "dpkg keeps $(ls /var/lib/dpkg/info/alarm.*)"
echo "package test passed"
