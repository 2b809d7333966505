#!/usr/bin/env bash
# The install of a build: staged with DESTDIR under a prefix with a blank in it, then
#  - every part in place, the menu entry, the metainfo and the man page valid;
#  - the display control registered for all users of the staged tree only, and the
#    installed program started through a link of another name with an empty user
#    configuration: the main window shows, and its settings are Orvanta/Alarm.conf;
#  - Set Alarm on Startup names the installed launcher;
#  - unregistering for all users leaves nothing in the system folder.
# Usage: install_test.sh BUILD_DIR        (exit 77: skipped for a missing tool)
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(mktemp -d /tmp/alarm-install-XXXXXX)
source "$HERE/x_session.sh"
trap 'end_processes; rm -rf "$ROOT"' EXIT
need_tools Xvfb openbox xdotool desktop-file-validate appstreamcli groff

PREFIX="/opt/alarm clock"
STAGE=$ROOT/stage
DESTDIR=$STAGE cmake --install "$BUILD" --prefix "$PREFIX" >"$ROOT/install.out" || { cat "$ROOT/install.out"; fail "cmake --install"; }
P=$STAGE$PREFIX
ID=com.orvanta.Alarm

for f in bin/alarm lib/alarm/Alarm lib/alarm/liblumicell.so lib/alarm/libalarm-media.so lib/alarm/alarm.wav \
  lib/alarm/readme.txt lib/alarm/regsvr lib/alarm/alarm-volume share/applications/$ID.desktop \
  share/metainfo/$ID.metainfo.xml share/man/man1/alarm.1.gz; do
  [ -f "$P/$f" ] || fail "$f is not installed"
done
for s in 16 22 24 32 48; do
  file "$P/share/icons/hicolor/${s}x$s/apps/$ID.png" | grep -q "PNG image data, $s x $s" || fail "no $s-pixel icon"
done
[ -x "$P/bin/alarm" ] && [ -x "$P/lib/alarm/Alarm" ] || fail "the launcher or the program is not executable"

DESKTOP=$P/share/applications/$ID.desktop
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate"
grep -qx 'Exec="/opt/alarm clock/bin/alarm"' "$DESKTOP" || fail "Exec does not name the launcher: $(grep Exec "$DESKTOP")"
grep -qx "Icon=$ID" "$DESKTOP" || fail "Icon is not the theme's $ID"
appstreamcli validate --no-net "$P/share/metainfo/$ID.metainfo.xml" || fail "appstreamcli validate"
WARN=$(zcat "$P/share/man/man1/alarm.1.gz" | groff -man -ww -z 2>&1)
[ -z "$WARN" ] || fail "the man page: $WARN"
zcat "$P/share/man/man1/alarm.1.gz" | grep -q '^\.B Enlarge' || fail "the man page does not describe Enlarge"

# The program with only the staged machine-wide registration (a folder with a blank too).
export XDG_CONFIG_HOME=$ROOT/config XDG_RUNTIME_DIR=$ROOT/runtime XDG_CONFIG_DIRS="$ROOT/etc xdg"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$P/lib/alarm/regsvr" -s --system "$P/lib/alarm/liblumicell.so" || fail "regsvr --system"
[ -f "$ROOT/etc xdg/Classes/Kestrava.Lumicell.conf" ] || fail "no machine-wide registration"
start_x
ln -s "$P/bin/alarm" "$ROOT/wakeup"
"$ROOT/wakeup" --log "$ROOT/alarm.log" >"$ROOT/alarm.out" 2>&1 &
APP=$!
PIDS+=($APP)
WIN=$(main_window "$APP" 30) || { cat "$ROOT/alarm.log" "$ROOT/alarm.out"; fail "no main window"; }
[ -f "$XDG_CONFIG_HOME/Orvanta/Alarm.conf" ] || fail "the settings are not Orvanta/Alarm.conf: $(ls -R "$XDG_CONFIG_HOME")"
[ ! -e "$XDG_CONFIG_HOME/Classes" ] || fail "a per-user registration appeared"

# Edit > Set Alarm on Startup, the eighth entry of the menu.
xdotool windowactivate --sync "$WIN" >/dev/null 2>&1 || true
xdotool key --window "$WIN" alt+e
sleep 0.5
xdotool key --delay 50 Down Down Down Down Down Down Down Return
ENTRY=$XDG_CONFIG_HOME/autostart/Alarm.desktop
for _ in $(seq 50); do [ -f "$ENTRY" ] && break; sleep 0.1; done
[ -f "$ENTRY" ] || { cat "$ROOT/alarm.log"; fail "Set Alarm on Startup wrote no log-on entry"; }
grep -qxF "Exec=\"$P/bin/alarm\"" "$ENTRY" || fail "the log-on entry does not start the launcher: $(grep Exec "$ENTRY")"

kill -TERM "$APP"
for _ in $(seq 50); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$APP" 2>/dev/null || fail "the program did not end on SIGTERM"

"$P/lib/alarm/regsvr" -s -u --system "$P/lib/alarm/liblumicell.so" || fail "regsvr -u --system"
[ ! -e "$ROOT/etc xdg/Classes" ] || fail "unregistering left $(ls -A "$ROOT/etc xdg/Classes")"
echo "install test passed"
