#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The kill soak (not part of CI): starts the built program in a private X server at a moment
# just before its alarm, arms, confirms the preferences, toggles a menu option, snoozes the
# alert, and kills it with SIGKILL at a random moment; after each kill it checks that the
# settings file reads whole, that every value in it is one that was written, and that the
# next start (with "Set Alarm on Startup") arms the alarm that was armed before the kill.
#   bench/kill_soak.sh [KILLS] [BIN_DIR]     (1000 kills, build/bin by default; SOAK_SECONDS=N
#                                             stops after N seconds with the totals so far)
# Prints one line per kill and the totals: kills, kills in the middle of a save (the
# temporary file was left behind), whole files, values never written, alarms back.
set -uo pipefail
cd "$(dirname "$0")/.."
kills=${1:-1000}
bin=$(realpath "${2:-build/bin}")
ROOT=$(mktemp -d /tmp/alarm-kill-soak.XXXXXX)
source tests/install/x_session.sh
need_tools Xvfb openbox xdotool python3
faketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[ -n "$faketime" ] || { echo "SKIPPED: libfaketime missing (the faketime package)"; exit 77; }
trap 'end_processes; [ -n "${KEEP:-}" ] || rm -rf "$ROOT"' EXIT
start_x

export HOME=$ROOT/home XDG_CONFIG_HOME=$ROOT/config XDG_RUNTIME_DIR=$ROOT/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Orvanta" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_DIRS=$ROOT/no-system-configuration
"$bin/regsvr" "$bin/liblumicell.so" >/dev/null || fail "cannot register the display control"
conf=$XDG_CONFIG_HOME/Orvanta/Alarm.conf
# Armed at every start, 07:00:00, in 24-hour mode.
printf '[General]\nAutoStartMenu="True"\nAMPMMenuIndex="1"\nHH="07"\nNN="00"\nSS="00"\nStartup="True"\n' >"$conf"
# The values the soak writes itself; any other value must be one an earlier file held.
written="$ROOT/written"
printf 'HH=07\nNN=00\nSS=00\n' >"$written"

# Checks the file after a kill: prints "whole" or "torn <line>", then each value never written.
check_file() {
  python3 - "$conf" "$written" "$ROOT/seen" <<'PY'
import re, sys, os
conf, written, seen_path = sys.argv[1:]
text = open(conf, 'rb').read().decode('utf-8', 'replace')
value = re.compile(r'^([^=\[]+)=("(?:[^"\\]|\\.)*"|[^"]*)$')
values, torn = {}, None
for line in text.splitlines():
    if not line.strip() or re.match(r'^\[[^\]]+\]$', line): continue
    m = value.match(line)
    if not m: torn = torn or line; continue
    v = m.group(2)
    values[m.group(1)] = v[1:-1] if v.startswith('"') else v
print('whole' if torn is None else 'torn ' + repr(torn))
allowed = {}
for path in (written, seen_path):
    if os.path.exists(path):
        for l in open(path, encoding='utf-8', errors='replace').read().splitlines():
            k, _, v = l.partition('=')
            allowed.setdefault(k, set()).add(v)
with open(seen_path, 'a') as seen:
    for k, v in values.items():
        if k in ('HH', 'NN', 'SS', 'Top', 'Left', 'PreviousAlarm', 'AlwaysOnTopMenu', 'Startup', 'PendingAlarm',
                 'PendingAlarmKind', 'PendingAlarmDaily', 'AlarmCheckedUpTo', 'AlarmDoneOn'):
            # Arming stores the fields as typed; a step that moved the focus sends a typed
            # number into the next field, so any number typed is a value that was written.
            typed = allowed.get('HH', set()) | allowed.get('NN', set()) | allowed.get('SS', set())
            ok = k not in ('HH', 'NN', 'SS') or v in typed
        else:
            ok = k not in allowed or v in allowed[k]
        if not ok: print('unwritten %s=%s' % (k, v))
        seen.write('%s=%s\n' % (k, v))
PY
}

window_of() {  # the active window, or the program's main window
  xdotool getactivewindow 2>/dev/null || main_window "$1" 5
}

total=0 midsave=0 whole=0 unwritten=0 back=0 armedKnown=0 startFailed=0
previous_armed=""
t0=$SECONDS
for i in $(seq "$kills"); do
  [ -n "${SOAK_SECONDS:-}" ] && [ $((SECONDS - t0)) -ge "$SOAK_SECONDS" ] && break
  log=$ROOT/log.$i
  # libfaketime preloaded directly (not through faketime, which forks), so $! is the program.
  LD_PRELOAD=$faketime FAKETIME="@2026-12-08 06:59:5$((RANDOM % 6))" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$bin/Alarm" --log "$log" >/dev/null 2>&1 &
  pid=$!
  win=$(main_window "$pid" 20) || { startFailed=$((startFailed + 1)); kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; continue; }
  # Did this start arm the alarm armed before the last kill?
  if [ -n "$previous_armed" ]; then
    armedKnown=$((armedKnown + 1))
    for _ in $(seq 20); do grep -q "alarm set for" "$log" && break; sleep 0.1; done
    now_armed=$(grep -o 'alarm set for .*' "$log" | head -1 | sed 's/alarm set for //')
    [ "$now_armed" = "$previous_armed" ] && back=$((back + 1))
  fi
  # The kill comes at a random moment within 0.2 to 4 s, whatever the steps have reached.
  ( sleep "$(printf '0.%03d' $((RANDOM % 1000)))"; sleep $((RANDOM % 4)); kill -9 "$pid" 2>/dev/null ) &
  killer=$!
  for step in $(shuf -e arm prefs top snooze arm); do
    kill -0 "$pid" 2>/dev/null || break
    case $step in
      arm)
        # Another time than the fields the file holds, so the next start tells which it arms.
        hh=$(printf '%02d' $((8 + RANDOM % 12))) nn=$(printf '%02d' $((RANDOM % 60))) ss=$(printf '%02d' $((RANDOM % 60)))
        printf 'HH=%s\nNN=%s\nSS=%s\n' "$hh" "$nn" "$ss" >>"$written"
        # As a user types it: the hours field has the focus, each field selects itself.
        xdotool windowactivate --sync "$win" windowfocus --sync "$win" 2>/dev/null
        for field in "$hh Tab" "$nn Tab" "$ss Return"; do
          xdotool type --delay 20 --window "$win" "${field% *}" 2>/dev/null
          xdotool key --window "$win" "${field#* }" 2>/dev/null
        done ;;
      prefs) xdotool windowactivate --sync "$win" key ctrl+p sleep 0.3 key Return 2>/dev/null ;;
      top) xdotool windowactivate --sync "$win" key ctrl+t 2>/dev/null ;;
      snooze) w=$(window_of "$pid") && xdotool key --window "$w" Tab space 2>/dev/null ;;
    esac
    sleep 0.$((RANDOM % 5))
  done
  wait "$killer" 2>/dev/null
  wait "$pid" 2>/dev/null
  total=$((total + 1))
  # The alarm armed last before the kill (the user's own, not a snooze).
  armed=$(grep -v 'snooze:' "$log" | grep -o ' alarm set for .*' | tail -1 | sed 's/ alarm set for //')
  [ -n "$armed" ] && previous_armed=$armed
  ls "$XDG_CONFIG_HOME"/Orvanta/.Alarm.conf.tmp.* >/dev/null 2>&1 && midsave=$((midsave + 1))
  result=$(check_file)
  grep -q '^whole' <<<"$result" && whole=$((whole + 1))
  bad=$(grep -c '^unwritten' <<<"$result")
  unwritten=$((unwritten + bad))
  printf 'kill %d: %s; armed %s\n' "$i" "$(tr '\n' ' ' <<<"$result")" "${armed:-nothing}"
done
elapsed=$((SECONDS - t0))
echo "kills: $total (starts that showed no window: $startFailed), in ${elapsed} s ($(( total ? elapsed * 1000 / total : 0 )) ms each)"
echo "mid-save kills (temporary file left): $midsave"
echo "whole files: $whole of $total; values never written: $unwritten"
echo "alarms back at the next start: $back of $armedKnown"
