#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The install of a build: staged with DESTDIR under a prefix with a blank in it, then
#  - every part in place and stripped, the menu entry, the metainfo and the man page valid
#    and naming the prefix, the licence and history in the doc folder;
#  - started without a desktop, the launcher's hint names the command typed;
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
DESTDIR=$STAGE cmake --install "$BUILD" --prefix "$PREFIX" --strip >"$ROOT/install.out" || { cat "$ROOT/install.out"; fail "cmake --install"; }
P=$STAGE$PREFIX
ID=com.orvanta.alarm

for f in bin/alarm lib/alarm/Alarm lib/alarm/liblumicell.so lib/alarm/libalarm-media.so lib/alarm/alarm.wav \
  lib/alarm/readme.txt lib/alarm/regsvr lib/alarm/alarm-volume share/applications/$ID.desktop \
  share/metainfo/$ID.metainfo.xml share/man/man1/alarm.1.gz share/icons/hicolor/scalable/apps/$ID.svg \
  share/doc/alarm/copyright share/doc/alarm/changelog.gz share/doc/alarm/README.md; do
  [ -f "$P/$f" ] || fail "$f is not installed"
done
for s in 16 22 24 32 48 64 128 256; do
  file "$P/share/icons/hicolor/${s}x$s/apps/$ID.png" | grep -q "PNG image data, $s x $s" || fail "no $s-pixel icon"
done
[ -x "$P/bin/alarm" ] && [ -x "$P/lib/alarm/Alarm" ] || fail "the launcher or the program is not executable"
for f in Alarm liblumicell.so libalarm-media.so regsvr; do
  file "$P/lib/alarm/$f" | grep -q ', stripped' || fail "--strip left $f unstripped"
done
grep -q '^License: GPL-3.0+' "$P/share/doc/alarm/copyright" || fail "the copyright names no licence"
zcat "$P/share/doc/alarm/changelog.gz" | head -1 | grep -q "^alarm (" || fail "the changelog"

DESKTOP=$P/share/applications/$ID.desktop
# Clean for Debian 12's validator (0.26), which does not know the Desktop Entry 1.5 key
# SingleMainWindow: one window is said the way its GNOME reads it.
VALID=$(desktop-file-validate "$DESKTOP" 2>&1 || true)
[ -z "$VALID" ] || fail "desktop-file-validate: $VALID"
grep -qx 'Exec="/opt/alarm clock/bin/alarm"' "$DESKTOP" || fail "Exec does not name the launcher: $(grep Exec "$DESKTOP")"
grep -qx "Icon=$ID" "$DESKTOP" || fail "Icon is not the theme's $ID"
grep -qx "X-GNOME-SingleWindow=true" "$DESKTOP" || fail "no X-GNOME-SingleWindow"
METAINFO=$P/share/metainfo/$ID.metainfo.xml
appstreamcli validate --pedantic --no-net "$METAINFO" || fail "appstreamcli validate"
KEYWORDS=$(sed -n 's/^Keywords=//p' "$DESKTOP" | tr ';' '\n' | sed '/^$/d')
[ "$KEYWORDS" = "$(sed -n 's|.*<keyword>\(.*\)</keyword>.*|\1|p' "$METAINFO")" ] || fail "the keywords differ"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$METAINFO" || fail "the metainfo's licence"
WARN=$(zcat "$P/share/man/man1/alarm.1.gz" | groff -man -ww -z 2>&1)
[ -z "$WARN" ] || fail "the man page: $WARN"
MAN=$(zcat "$P/share/man/man1/alarm.1.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null)
for want in "Enlarge" "ENVIRONMENT" "XDG_RUNTIME_DIR" "SEE ALSO" "$PREFIX/lib/alarm/alarm.wav"; do
  grep -qF -- "$want" <<<"$MAN" || fail "the man page does not name $want"
done
! grep -q "/usr/lib/alarm" <<<"$MAN" || fail "the man page names /usr/lib/alarm"
grep -qF 'Run the program "alarm"' "$P/lib/alarm/readme.txt" || fail "the readme does not name alarm"
grep -qF "\"$PREFIX/lib/alarm/regsvr\" \"$PREFIX/lib/alarm/liblumicell.so\"" "$P/lib/alarm/readme.txt" ||
  fail "the readme's registration does not name the installed files"

# Without a desktop, typed as `alarm`: the hint says how to run that on a virtual screen.
set +e
HINT=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$P/bin:$PATH" alarm 2>&1)
STATUS=$?
set -e
[ "$STATUS" -eq 1 ] && grep -qx "To run it without one: xvfb-run -a alarm" <<<"$HINT" || fail "no-desktop hint ($STATUS): $HINT"

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
