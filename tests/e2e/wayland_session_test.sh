#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program on a Wayland desktop: weston (headless) with XWayland, as a GNOME
# Wayland session gives it. The program chooses XWayland itself and says so, its window
# shows, and an alarm armed at start rings: the alert window shows at the second.
# Usage: wayland_session_test.sh BUILD_DIR        (exit 77: skipped for a missing tool)
set -euo pipefail
BIN=$(cd "$1" && pwd)/bin
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(mktemp -d /tmp/alarm-wayland-XXXXXX)
source "$HERE/../install/x_session.sh"
trap 'end_processes; rm -rf "$ROOT"' EXIT
need_tools weston Xwayland xdotool
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$FAKETIME_LIB" ] || { echo "SKIPPED: missing libfaketime (scripts/setup.sh installs it)"; exit 77; }

export XDG_CONFIG_HOME=$ROOT/config XDG_RUNTIME_DIR=$ROOT/runtime XDG_SESSION_TYPE=wayland
mkdir -p "$XDG_CONFIG_HOME/Orvanta" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM
"$BIN/regsvr" -s "$BIN/liblumicell.so" || fail "regsvr"

export WAYLAND_DISPLAY=alarm-wayland-$$
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --xwayland --idle-time=0 \
  --width=1280 --height=800 >"$ROOT/weston.out" 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do
  DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$ROOT/weston.out")
  [ -n "$DISPLAY" ] && break
  sleep 0.1
done
[ -n "$DISPLAY" ] || { cat "$ROOT/weston.out"; fail "weston started no XWayland"; }
export DISPLAY

# 07:00:00 armed at start, the message window as the alert, started at 06:59:54; the alarm
# command writes down the environment it got.
printf '[General]\nAutoStartMenu="True"\nHH="07"\nNN="00"\nSS="00"\nShowMessage="True"\nPlaySound="False"\n' \
  >"$XDG_CONFIG_HOME/Orvanta/Alarm.conf"
printf 'TriggerCommand="1"\nCommandMSDOS="1"\nCommand="sh -c \\"env >%s/command.env\\""\n' "$ROOT" \
  >>"$XDG_CONFIG_HOME/Orvanta/Alarm.conf"
LOG=$ROOT/alarm.log
env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-08 06:59:54" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  "$BIN/Alarm" --log "$LOG" >"$ROOT/alarm.out" 2>&1 &
APP=$!
PIDS+=($APP)
main_window "$APP" 30 >/dev/null || { cat "$LOG" "$ROOT/alarm.out" "$ROOT/weston.out"; fail "no main window"; }
grep -q "running through XWayland on display $DISPLAY" "$LOG" || { cat "$LOG"; fail "the choice of XWayland is not logged"; }

for _ in $(seq 150); do grep -q "alert shown: frmAlarmMessage" "$LOG" && break; sleep 0.1; done
grep -q "fire: alarm 07:00:00" "$LOG" && grep -q "alert shown: frmAlarmMessage" "$LOG" || { cat "$LOG"; fail "the alarm did not ring"; }
ALERTS=$(xdotool search --all --onlyvisible --pid "$APP" --name '^Alarm$' | wc -l)
[ "$ALERTS" -ge 2 ] || fail "the alert window is not shown beside the main window ($ALERTS windows)"
# The platform chosen for Alarm itself is not passed on to what it starts.
for _ in $(seq 50); do [ -s "$ROOT/command.env" ] && break; sleep 0.1; done
grep -q "^WAYLAND_DISPLAY=$WAYLAND_DISPLAY\$" "$ROOT/command.env" || fail "the alarm command did not run"
! grep -E '^QT_(QPA_PLATFORM|XCB_NO_MITSHM)=' "$ROOT/command.env" || fail "the alarm command inherited Qt's platform choice"
kill -TERM "$APP"
echo "wayland session test passed"
