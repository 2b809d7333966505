#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the running program in a private X server (Xvfb + openbox):
#   - start-up time from exec to the shown window (the log's "window shown" line),
#   - resident memory,
#   - CPU time and wake-ups (context switches) per minute with the window shown and idle,
#     then minimised, with only the detached LED window shown, and hidden in a notification
#     area when trayer is installed,
#   - X requests written while minimised or hidden (no painting means none each second),
#   - how many milliseconds after the wall-clock second the alarm check fires an alarm,
#   - from the alarm second to the alert window shown, and to the first audible sample on
#     a recorded PulseAudio null sink, for the wave sound, music and the beep (needs pulseaudio,
#     pactl and parec; skipped with a note without them).
# Usage: scripts/measure.sh [BIN_DIR] [SECONDS_PER_PHASE]   (defaults: build/bin, 60)
# Needs Xvfb, openbox, xdotool; strace for the X request count (optional); trayer optional.
set -euo pipefail

BIN=$(cd "${1:-build/bin}" && pwd)
SECS=${2:-60}
for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "measure.sh needs $tool" >&2; exit 2; }
done
[ -x "$BIN/Alarm" ] || { echo "no program at $BIN/Alarm (build it first)" >&2; exit 2; }

ROOT=$(mktemp -d /tmp/alarm-measure-XXXXXX)
export XDG_CONFIG_HOME=$ROOT/config XDG_RUNTIME_DIR=$ROOT/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  sleep 0.3
  for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$ROOT"
}
trap cleanup EXIT

DISP=$((200 + $$ % 300))
while [ -e /tmp/.X$DISP-lock ] || [ -e /tmp/.X11-unix/X$DISP ]; do DISP=$((DISP + 1)); done
export DISPLAY=:$DISP
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$DISP ] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
PIDS+=($!)
sleep 0.5
"$BIN/regsvr" "$BIN/liblumicell.so" >/dev/null

CONF=$XDG_CONFIG_HOME/Orvanta/Alarm.conf
now_ms() { date +%s%3N; }
# Milliseconds since the epoch of a log line's leading local timestamp.
log_ms() { date -d "$(echo "$1" | cut -c1-23 | tr T ' ')" +%s%3N; }
# CPU time of a process in milliseconds (all threads, from the scheduler's nanosecond
# counters), and its context switches.
cpu_ms() { cat /proc/"$1"/task/*/schedstat | awk '{ n += $1 } END { printf "%.3f", n / 1e6 }'; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
# The main window: the widest visible window named Alarm (the tray icon carries the name too).
main_window() {
  for w in $(xdotool search --onlyvisible --pid "$1" --name '^Alarm$'); do
    echo "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ { split($2, a, "x"); print a[1] }') $w"
  done | sort -n | tail -n 1 | cut -d' ' -f2
}
rss_kb() { awk '/VmRSS/ { print $2 }' "/proc/$1/status"; }

start_alarm() {
  LOG=$ROOT/alarm-$1.log
  : >"$LOG"
  T0=$(now_ms)
  "$BIN/Alarm" --log "$LOG" >/dev/null 2>&1 &
  APP=$!
  for _ in $(seq 100); do grep -q "window shown" "$LOG" && break; sleep 0.05; done
  SHOWN=$(grep -m1 "window shown" "$LOG")
  STARTUP=$(($(log_ms "$SHOWN") - T0))
}
stop_alarm() {
  kill -TERM "$APP" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
  wait "$APP" 2>/dev/null || true
}

# X requests written by the program during a phase (strace counts its socket writes).
x_writes() {
  if ! command -v strace >/dev/null; then echo "n/a"; return; fi
  timeout "$1" strace -f -qq -e trace=writev,sendmsg,write -p "$APP" -o "$ROOT/strace.txt" 2>/dev/null || true
  grep -vc 'write(2,\|write(1,\|write([0-9]*, "20' "$ROOT/strace.txt" || true
}

phase() {  # phase NAME: CPU ms per minute and wake-ups per second over SECS seconds
  local c0 s0 c1 s1
  c0=$(cpu_ms "$APP"); s0=$(switches "$APP")
  sleep "$SECS"
  c1=$(cpu_ms "$APP"); s1=$(switches "$APP")
  printf '%-28s %8.1f ms CPU/min %8.2f wake-ups/s\n' "$1" \
    "$(echo "($c1 - $c0) * 60 / $SECS" | bc -l)" "$(echo "($s1 - $s0) / $SECS" | bc -l)"
}

echo "Alarm measurements ($SECS s per phase, display $DISPLAY)"

# Start-up: five cold starts, the median.
STARTS=()
for i in 1 2 3 4 5; do
  rm -rf "$XDG_CONFIG_HOME/Orvanta"
  start_alarm "start$i"
  STARTS+=("$STARTUP")
  stop_alarm
done
echo "start-up to shown window:    $(printf '%s\n' "${STARTS[@]}" | sort -n | sed -n 3p) ms median (${STARTS[*]})"

mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB, %.1f MB", k / 1024, k * 1.024 / 1000 }'; }
# Armed for a few hours ahead, the wake helper runs beside the program: counted with it.
mkdir -p "$XDG_CONFIG_HOME/Orvanta"
printf '[General]\nAutoStartMenu="True"\nHH="%s"\nNN="00"\nSS="00"\n' "$(date -d '+3 hours' +%H)" >"$CONF"
start_alarm armed
sleep 2
HELPER=$(pgrep -x -P "$APP" alarm-wake || true)
HELPER_KB=0
[ -n "$HELPER" ] && HELPER_KB=$(rss_kb "$HELPER")
ARMED=$(($(rss_kb "$APP") + HELPER_KB))
echo "resident memory, armed:      $(mib "$ARMED") ($ARMED kB, of which the wake helper $HELPER_KB kB)"
stop_alarm
rm -rf "$XDG_CONFIG_HOME/Orvanta"

start_alarm idle
sleep 2
RSS=$(rss_kb "$APP")
echo "resident memory:             $(mib "$RSS") ($RSS kB)"
phase "idle, window shown"
WIN=$(main_window "$APP")
xdotool windowminimize --sync "$WIN" 2>/dev/null || xdotool windowminimize "$WIN"
sleep 1
phase "idle, minimised"
echo "X writes while minimised:    $(x_writes 20) in 20 s"
stop_alarm

# Only the LED window: a double-click on the display (the box below the menu bar, above the
# window's 151 pixels of controls) swaps the main window for it.
start_alarm led
sleep 1
WIN=$(main_window "$APP")
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove --window "$WIN" 100 $((HEIGHT - 151 + 20)) click --repeat 2 --delay 80 1
for _ in $(seq 50); do grep -q "LED window shown" "$LOG" && break; sleep 0.1; done
if grep -q "LED window shown" "$LOG"; then
  sleep 1
  phase "idle, only the LED window"
else
  echo "(the LED window did not open)"
fi
stop_alarm

if command -v trayer >/dev/null; then
  trayer --edge top >/dev/null 2>&1 &
  PIDS+=($!)
  sleep 1
  start_alarm tray
  sleep 1
  WIN=$(main_window "$APP")
  xdotool windowminimize "$WIN"
  sleep 1
  grep -q "window hidden in the notification area" "$LOG" || echo "(the window did not hide: no tray icon?)"
  phase "idle, hidden in the tray"
  echo "X writes while hidden:       $(x_writes 20) in 20 s"
  stop_alarm
fi

# The alarm check: arm at start for a second a few seconds ahead, five times.
LATE=()
for i in 1 2 3 4 5; do
  rm -rf "$XDG_CONFIG_HOME/Orvanta"
  mkdir -p "$XDG_CONFIG_HOME/Orvanta"
  AT=$(date -d "+4 seconds" +%H:%M:%S)
  printf '[General]\nAutoStartMenu="True"\nHH="%s"\nNN="%s"\nSS="%s"\n' "${AT:0:2}" "${AT:3:2}" "${AT:6:2}" >"$CONF"
  start_alarm "fire$i"
  for _ in $(seq 100); do grep -q "fire: alarm $AT" "$LOG" && break; sleep 0.1; done
  LINE=$(grep -m1 "fire: alarm $AT" "$LOG" || true)
  if [ -n "$LINE" ] && [ "$(echo "$LINE" | cut -c12-19)" = "$AT" ]; then
    LATE+=("$((10#$(echo "$LINE" | cut -c21-23)))")
  else
    LATE+=("missed")
  fi
  stop_alarm
done
echo "alarm check after the second: ${LATE[*]} ms"

# The alarm rings: from the alarm second to the alert window shown (the log's "alert shown"
# line) and to the first audible sample recorded from a private null sink, three times each
# for the wave sound, for music (alarm.wav picked as the music file, so it goes through
# the media player) and for the beep (its alert comes once the half-second tone has played). A sample's time is when it reached the recording (the recording's
# length is watched every few milliseconds), so the figure includes the recorder's own
# latency and is an upper bound.
if command -v pulseaudio >/dev/null && command -v pactl >/dev/null && command -v parec >/dev/null; then
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --log-level=error \
    --load="module-null-sink sink_name=nul" --load="module-native-protocol-unix auth-anonymous=1" >/dev/null 2>&1 &
  PIDS+=($!)
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink nul
  cp "$BIN/alarm.wav" "$ROOT/music.wav"
  REC=$ROOT/sink.raw
  ARRIVALS=$ROOT/arrivals.txt
  for kind in wave music beep; do
    ALERTS=()
    HEARD=()
    for i in 1 2 3; do
      rm -rf "$XDG_CONFIG_HOME/Orvanta"
      mkdir -p "$XDG_CONFIG_HOME/Orvanta"
      AT_S=$(($(date +%s) + 4))
      AT=$(date -d "@$AT_S" +%H:%M:%S)
      {
        printf '[General]\nAutoStartMenu="True"\nHH="%s"\nNN="%s"\nSS="%s"\nHideAlert="1"\n' "${AT:0:2}" "${AT:3:2}" "${AT:6:2}"
        if [ "$kind" = music ]; then
          printf 'PlayMusic="True"\nPlaySound="False"\nPlayMusicFile="%s"\n' "$ROOT/music.wav"
        elif [ "$kind" = beep ]; then
          printf 'Beep="True"\nPlaySound="False"\n'
        fi
      } >"$CONF"
      : >"$REC"
      parec -d nul.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=5 >"$REC" &
      RECPID=$!
      (while kill -0 "$RECPID" 2>/dev/null; do echo "$(date +%s%3N) $(stat -c %s "$REC")"; sleep 0.005; done) >"$ARRIVALS" &
      WATCH=$!
      start_alarm "ring-$kind$i"
      for _ in $(seq 100); do grep -q "alert shown" "$LOG" && break; sleep 0.1; done
      sleep 1.5
      kill "$RECPID" 2>/dev/null || true
      wait "$RECPID" "$WATCH" 2>/dev/null || true
      LINE=$(grep -m1 "alert shown" "$LOG" || true)
      if [ -n "$LINE" ]; then ALERTS+=("$(($(log_ms "$LINE") - AT_S * 1000))"); else ALERTS+=("none"); fi
      # The first clearly audible sample, and when the recording had reached it.
      FIRST=$(od -An -t d2 -v -w2 "$REC" | awk '$1 > 1500 || $1 < -1500 { print (NR - 1) * 2; exit }' || true)
      WHEN=""
      [ -n "$FIRST" ] && WHEN=$(awk -v b="$FIRST" '$2 > b { print $1; exit }' "$ARRIVALS")
      if [ -n "$WHEN" ]; then HEARD+=("$((WHEN - AT_S * 1000))"); else HEARD+=("silent"); fi
      stop_alarm
    done
    printf 'alarm %-5s alert shown after the second:   %s ms\n' "$kind" "${ALERTS[*]}"
    printf 'alarm %-5s first audible sample after it: %s ms (at most)\n' "$kind" "${HEARD[*]}"
  done
else
  echo "alarm latencies: needs pulseaudio, pactl and parec"
fi
