#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program under the real GNOME Shell 43 (headless, Wayland, the program through
# XWayland), as a Debian 12 desktop user runs it: the main window shows; an alarm rings its
# message window above another program's focused window and takes the keyboard, and Return
# stops it; the full-screen alert covers the whole screen, the top bar's rows included, and
# its hint line shows whole (read from the shell's own screenshot); the alarm's desktop
# notification shows on the locked screen and its Stop button reaches the program.
# Usage: gnome_shell_test.sh BUILD_DIR [PICTURES_DIR]
#   (exit 77: skipped when not root or a tool is missing; PICTURES_DIR keeps the screenshots)
set -euo pipefail
BIN=$(cd "$1" && pwd)/bin
PICTURES=${2:-}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(mktemp -d /tmp/alarm-gnome-XXXXXX)
source "$HERE/../install/x_session.sh"
source "$HERE/gnome_session.sh"
trap 'gnome_stop; rm -rf "$ROOT"' EXIT
[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: the private GNOME session needs root (namespaces)"; exit 77; }
need_tools gnome-shell gjs Xwayland dbus-daemon gdbus gsettings unshare nsenter xmessage
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$FAKETIME_LIB" ] || { echo "SKIPPED: missing libfaketime (scripts/setup.sh installs it)"; exit 77; }

SECONDS=0
GNOME_KEEP=$(cd "$1" && pwd) gnome_start "$ROOT" || fail "GNOME Shell did not start"
echo "GNOME Shell ready after ${SECONDS}s"
# What the test asks the shell: the windows from bottom to top as "title|class|x,y,w,h|flags"
# (f focused, F full screen, A above, M minimised, D modal dialog), a key typed on the
# shell's own virtual keyboard, and a window brought to the front as a click would.
gnome_eval '
const {Clutter, GLib, Meta, St} = imports.gi;
globalThis.alarmTest = {
  windows() {
    const all = global.display.list_all_windows().filter(w => !w.is_override_redirect() && w.get_wm_class() !== "Gnome-shell");
    return global.display.sort_windows_by_stacking(all).map(w => {
      const r = w.get_frame_rect();
      const flags = (w.has_focus() ? "f" : "") + (w.is_fullscreen() ? "F" : "") + (w.is_above() ? "A" : "") +
        (w.minimized ? "M" : "") + (w.get_window_type() === Meta.WindowType.MODAL_DIALOG ? "D" : "");
      return [w.get_title(), w.get_wm_class(), [r.x, r.y, r.width, r.height].join(","), flags].join("|");
    }).join("~");
  },
  // Made now: the first keys on a keyboard just made would be lost.
  keyboard: Clutter.get_default_backend().get_default_seat().create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE),
  key(name) {
    const sym = Clutter[`KEY_${name}`];
    this.keyboard.notify_keyval(GLib.get_monotonic_time(), sym, Clutter.KeyState.PRESSED);
    this.keyboard.notify_keyval(GLib.get_monotonic_time(), sym, Clutter.KeyState.RELEASED);
    return "typed";
  },
  // The texts shown in the list of notifications on the lock screen.
  lockScreenTexts() {
    const walk = a => !a.visible ? [] : [...(a instanceof St.Label ? [a.text] : []), ...a.get_children().flatMap(walk)];
    return walk(Main.screenShield._dialog._notificationsBox).join(",");
  },
  notification(title) {
    return Main.messageTray.getSources().flatMap(s => s.notifications).find(n => n.title === title);
  },
  // The urgency of a notification, whether it stays, and its buttons.
  describe(title) {
    const n = this.notification(title);
    return n ? [n.urgency, n.resident, n.actions.map(a => a.label).join(",")].join("|") : "none";
  },
  press(title, label) {
    this.notification(title).actions.find(a => a.label === label).callback();
    return "pressed";
  },
  activate(title) {
    const w = global.display.list_all_windows().find(w => w.get_title() === title);
    if (w) w.activate(global.get_current_time());
    return String(!!w);
  },
};
"ok"' >/dev/null || fail "the shell's Eval"

# Waits up to $2 s until the window list matches the extended regular expression $1 (one
# window a line); the windows are settled when it matches twice in a row.
wait_windows() {
  local seen=0 list=
  for _ in $(seq $((${2:-10} * 5))); do
    list=$(gnome_eval 'alarmTest.windows()' | tr '~' '\n')
    if grep -Eq "$1" <<<"$list"; then
      seen=$((seen + 1))
      [ $seen -ge 2 ] && return 0
    else
      seen=0
    fi
    sleep 0.2
  done
  echo "windows (bottom to top):"
  echo "$list"
  return 1
}
show() { cat "$@" 2>/dev/null || true; }
wait_log() {  # TEXT SECONDS
  for _ in $(seq $(($2 * 10))); do grep -q "$1" "$LOG" 2>/dev/null && return 0; sleep 0.1; done
  show "$LOG"
  return 1
}

export XDG_CONFIG_HOME=$ROOT/config
mkdir -p "$XDG_CONFIG_HOME/Orvanta"
gnome_run "$BIN/regsvr" -s "$BIN/liblumicell.so" >/dev/null || fail "regsvr"
LOG=$ROOT/alarm.log
# Alarm at 07:00:00, armed at start, with its alert kind ($1), started at $2.
start_alarm() {
  printf '[General]\nAutoStartMenu="True"\nHH="07"\nNN="00"\nSS="00"\n%b\nPlaySound="False"\n' "$1" \
    >"$XDG_CONFIG_HOME/Orvanta/Alarm.conf"
  rm -f "$LOG"
  # Its pid in the session's own numbering, to end it there.
  gnome_run sh -c 'echo $$ >"$0"; exec "$@"' "$ROOT/alarm.pid" env LD_PRELOAD="$FAKETIME_LIB" \
    FAKETIME="@2026-12-08 $2" FAKETIME_DONT_FAKE_MONOTONIC=1 "$BIN/Alarm" --log "$LOG" >"$ROOT/alarm.out" 2>&1 &
  APP=$!
}
stop_alarm() {
  gnome_run kill -TERM "$(cat "$ROOT/alarm.pid")"
  wait "$APP" || fail "the program did not end well on SIGTERM"
}

# Another program's window has the keyboard when the alarm comes.
gnome_run xmessage -geometry 600x300+300+200 "Another program" >/dev/null 2>&1 &
wait_windows '^xmessage\|.*\|f' 15 || fail "the other program's window is not shown focused"

start_alarm 'ShowMessage="True"' '06:59:45'
wait_windows '^Alarm\|Alarm\|' 20 || { show "$LOG" "$ROOT/alarm.out"; fail "the main window does not show"; }
grep -q "running through XWayland on display :0" "$LOG" || { show "$LOG"; fail "the program did not choose XWayland"; }
[ "$(gnome_eval 'alarmTest.activate("xmessage")')" = true ] || fail "xmessage cannot be activated"
wait_windows '^xmessage\|.*\|f' 5 || fail "the other program's window did not take the keyboard back"
wait_log "alert shown: frmAlarmMessage" 20 || fail "the alarm did not ring"
# The alert is the top window and has the keyboard.
wait_windows '^Alarm\|Alarm\|[^|]*\|f[^|]*D[^|]*$' 10 || fail "the alert is not focused"
TOP=$(gnome_eval 'alarmTest.windows()' | tr '~' '\n' | tail -n 1)
[[ "$TOP" =~ ^Alarm\|.*\|f ]] || fail "the alert is not the top window: $TOP"
gnome_eval 'alarmTest.key("Return")' >/dev/null
wait_log "alert closed: frmAlarmMessage" 5 || fail "Return did not close the alert"
wait_log "alarm stopped" 5 || fail "Return did not stop the alarm"
stop_alarm
echo "message alert: shown above the focused window, stopped by Return (${SECONDS}s)"

start_alarm 'ShowMessage="False"\nShowFullscreen="True"' '06:59:52'
wait_log "alert shown: frmAlarmFullscreen" 25 || fail "the full-screen alarm did not ring"
# Settled full screen over the whole screen, focused.
wait_windows '^Alarm\|Alarm\|0,0,1280,800\|f[^|]*F' 10 || fail "the full-screen alert does not cover 0,0-1280,800"
# What the screen shows: the top bar's rows are the alert's black, and the hint line ends
# above the bottom edge with black rows below it. Taken again while the window is still
# laying itself out.
SHOT=$ROOT/alert.png
for _ in $(seq 20); do
  gnome_run gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$SHOT" >/dev/null || fail "the shell's screenshot"
  PIXELS=$(gjs -c "
const {GdkPixbuf} = imports.gi;
const p = GdkPixbuf.Pixbuf.new_from_file('$SHOT');
const [w, h, rs, n, px] = [p.get_width(), p.get_height(), p.get_rowstride(), p.get_n_channels(), p.get_pixels()];
const rowMax = y => { let m = 0; for (let i = y * rs; i < y * rs + w * n; i += n) m = Math.max(m, px[i], px[i + 1], px[i + 2]); return m; };
let top = 0; for (let y = 0; y < 40; y++) top = Math.max(top, rowMax(y));
let first = -1, last = -1; for (let y = Math.floor(h * 3 / 4); y < h; y++) if (rowMax(y) > 60) { if (first < 0) first = y; last = y; }
print(w + 'x' + h + ' top ' + top + ' hint ' + first + '-' + last);")
  read -r SIZE _ TOPMAX _ BAND <<<"$PIXELS"
  FIRST=${BAND%-*} LAST=${BAND#*-}
  [ "$SIZE" = 1280x800 ] && [ "$TOPMAX" -lt 16 ] && [ "$FIRST" -gt 0 ] && [ $((LAST - FIRST)) -ge 6 ] &&
    [ "$LAST" -lt 796 ] && break
  sleep 0.3
done
[ -z "$PICTURES" ] || cp "$SHOT" "$PICTURES/gnome-fullscreen-alert.png"
echo "screenshot: $PIXELS"
[ "$SIZE" = 1280x800 ] || fail "the screenshot is $SIZE"
[ "$TOPMAX" -lt 16 ] || fail "the top rows are not the alert's black (brightest $TOPMAX)"
[ "$FIRST" -gt 0 ] && [ $((LAST - FIRST)) -ge 6 ] && [ "$LAST" -lt 796 ] || fail "the hint line is not shown whole (rows $BAND)"
gnome_eval 'alarmTest.key("Escape")' >/dev/null
wait_log "alert closed: frmAlarmFullscreen" 5 || fail "Esc did not close the full-screen alert"
stop_alarm
echo "full-screen alert: covers the screen, its hint line whole (${SECONDS}s)"

# On the locked screen: the alarm's own notification is listed there; unlocked, it is
# critical and resident with Stop and Snooze, and its Stop stops the alarm as the alert's
# Stop does, and takes the notification away.
gnome_eval 'Main.screenShield.lock(false); "ok"' >/dev/null
for _ in $(seq 50); do [ "$(gnome_eval 'String(Main.screenShield.locked)')" = true ] && break; sleep 0.2; done
[ "$(gnome_eval 'String(Main.screenShield.locked)')" = true ] || fail "the screen does not lock"
start_alarm 'ShowMessage="True"\nMessage="Time to get up"' '06:59:50'
wait_log "alert shown: frmAlarmMessage" 25 || fail "the alarm did not ring behind the lock"
for _ in $(seq 50); do [[ "$(gnome_eval 'alarmTest.lockScreenTexts()')" == *Alarm* ]] && break; sleep 0.2; done
LOCKED=$(gnome_eval 'alarmTest.lockScreenTexts()')
[[ "$LOCKED" == *Alarm* ]] || fail "the lock screen does not show the alarm's notification: $LOCKED"
if [ -n "$PICTURES" ]; then
  sleep 1  # the lock screen's own animation
  gnome_run gdbus call --session --dest org.gnome.Shell.Screenshot --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$ROOT/lock.png" >/dev/null
  cp "$ROOT/lock.png" "$PICTURES/gnome-lock-screen-notification.png"
fi
gnome_eval 'Main.screenShield.deactivate(false); "ok"' >/dev/null
for _ in $(seq 50); do [ "$(gnome_eval 'String(Main.screenShield.locked)')" = false ] && break; sleep 0.2; done
SHOWN=$(gnome_eval 'alarmTest.describe("Alarm")')
[ "$SHOWN" = "3|true|Stop,Snooze" ] || fail "the notification is not critical and resident with Stop and Snooze: $SHOWN"
gnome_eval 'alarmTest.press("Alarm", "Stop")' >/dev/null
wait_log "alarm stopped" 10 || fail "the notification's Stop did not stop the alarm"
for _ in $(seq 25); do [ "$(gnome_eval 'alarmTest.describe("Alarm")')" = none ] && break; sleep 0.2; done
[ "$(gnome_eval 'alarmTest.describe("Alarm")')" = none ] || fail "the notification was not withdrawn"
stop_alarm
echo "locked screen: the alarm's notification shown, its Stop stops the alarm (${SECONDS}s)"

# An alarm that came while the program was not running: GNOME has no tray icon, so the
# missed notice is a notification.
start_alarm 'ShowMessage="True"\nAlarmCheckedUpTo="2026-12-08T06:00:00.000+00:00"' '08:00:00'
wait_log "missed" 25 || fail "the missed alarm was not told"
for _ in $(seq 50); do [ "$(gnome_eval 'alarmTest.describe("Alarm missed")')" != none ] && break; sleep 0.2; done
[ "$(gnome_eval 'alarmTest.describe("Alarm missed")')" != none ] || fail "the missed alarm is not a notification"
stop_alarm
echo "GNOME Shell test passed in ${SECONDS}s"
