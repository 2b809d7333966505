# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the GNOME tests: a private headless GNOME Shell 43 session (Wayland, XWayland on
# demand) as Debian 12 gives a desktop user, with its own session and system buses.
#   gnome_start DIR   starts it (DIR under /tmp; folders named in GNOME_KEEP stay reachable
#                     inside, also under /tmp); returns once the shell answers and the
#                     start-up overview has gone
#   gnome_run CMD...  runs a command inside the session (its DISPLAY, buses and /tmp)
#   gnome_eval JS     evaluates JavaScript in the shell and prints the result (a string)
#   gnome_stop        ends the session and every process in it
# Everything runs in private mount, network and PID namespaces: the session's X displays and
# sockets are invisible to the host, and ending the namespace's first process ends them all.
# A stand-in display manager on the private system bus lets the screen lock exist, and a
# small extension turns on the shell's unsafe mode so that a test may call Eval and take
# screenshots. Needs root (namespaces and mounts).
GNOME_DIR= GNOME_NS=

gnome_start() {
  local g=$1
  GNOME_DIR=$g
  mkdir -p "$g"/{home,config,run,logs} "$g"/privtmp/{.X11-unix,.ICE-unix}
  chmod 700 "$g/run"
  chmod 1777 "$g/privtmp" "$g/privtmp/.X11-unix" "$g/privtmp/.ICE-unix"
  cat >"$g/env.sh" <<EOT
export HOME=$g/home XDG_CONFIG_HOME=$g/config XDG_RUNTIME_DIR=$g/run
export XDG_DATA_HOME=$g/home/.local/share XDG_CACHE_HOME=$g/home/.cache
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome NO_AT_BRIDGE=1
export DBUS_SESSION_BUS_ADDRESS=unix:path=$g/run/bus DBUS_SYSTEM_BUS_ADDRESS=unix:path=/run/dbus/system_bus_socket
unset SESSION_MANAGER QT_QPA_PLATFORM LD_PRELOAD
export WAYLAND_DISPLAY=gnome-test-0 DISPLAY=:0
export XAUTHORITY=\$(ls $g/run/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1)
EOT
  local ext=$g/home/.local/share/gnome-shell/extensions/unsafe@alarm-test
  mkdir -p "$ext"
  echo '{"uuid":"unsafe@alarm-test","name":"unsafe","description":"unsafe mode for tests","shell-version":["43"]}' \
    >"$ext/metadata.json"
  echo 'function init() {} function enable() { global.context.unsafe_mode = true; } function disable() {}' \
    >"$ext/extension.js"
  cat >"$g/system-bus.conf" <<'EOT'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN" "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
EOT
  # The display manager as far as the shell asks it: it exists, so the screen lock does.
  cat >"$g/display-manager.js" <<'EOT'
const {Gio, GLib} = imports.gi;
const xml = '<node><interface name="org.gnome.DisplayManager.Manager"><property name="Version" type="s" access="read"/><method name="RegisterSession"><arg type="a{sv}" direction="in"/></method></interface></node>';
const o = Gio.DBusExportedObject.wrapJSObject(xml, {get Version() { return '43.0'; }, RegisterSession() {}});
o.export(Gio.DBus.system, '/org/gnome/DisplayManager/Manager');
Gio.bus_own_name_on_connection(Gio.DBus.system, 'org.gnome.DisplayManager', 0, null, null);
new GLib.MainLoop(null, false).run();
EOT
  cat >"$g/init.sh" <<EOT
#!/bin/bash
set -e
# A private /tmp (the X sockets and lock files), $g still reachable at its own path, and
# so are the folders in GNOME_KEEP that lie under /tmp (a build there).
mkdir -p $g/privtmp/${g#/tmp/}
mount --bind $g $g/privtmp/${g#/tmp/}
for keep in $GNOME_KEEP; do
  case \$keep in /tmp/*) mkdir -p $g/privtmp/\${keep#/tmp/}; mount --rbind \$keep $g/privtmp/\${keep#/tmp/} ;; esac
done
mount --rbind $g/privtmp /tmp
# A seats folder makes the shell take its logind path; the system bus is ours.
mkdir -p /run/systemd /run/dbus
mount -t tmpfs tmpfs /run/systemd; mkdir /run/systemd/seats
mount -t tmpfs tmpfs /run/dbus
ip link set lo up 2>/dev/null || true
dbus-daemon --config-file=$g/system-bus.conf --fork
. $g/env.sh
dbus-daemon --session --address=\$DBUS_SESSION_BUS_ADDRESS --fork
gsettings set org.gnome.shell enabled-extensions "['unsafe@alarm-test']"
gsettings set org.gnome.shell welcome-dialog-last-shown-version '99'
gsettings set org.gnome.desktop.session idle-delay 0
gjs $g/display-manager.js >$g/logs/display-manager.log 2>&1 </dev/null &
gnome-shell --headless --wayland --virtual-monitor 1280x800 --wayland-display=\$WAYLAND_DISPLAY \
  >$g/logs/shell.log 2>&1 </dev/null &
exec sleep infinity
EOT
  chmod +x "$g/init.sh"
  unshare --mount --net --pid --fork --kill-child --mount-proc --propagation private -- "$g/init.sh" \
    >"$g/logs/init.log" 2>&1 </dev/null &
  GNOME_NS=$!
  # Ready: unsafe mode is on (Eval answers) and the start-up animation is over.
  local r
  for _ in $(seq 120); do
    r=$(gnome_eval 'String(global.context.unsafe_mode && !Main.layoutManager._startingUp)' 2>/dev/null || true)
    if [ "$r" = true ]; then
      # The overview the start opens, and the notice that the session runs as root.
      gnome_eval 'Main.overview.hide(); Main.messageTray.getSources().forEach(s => s.destroy()); "ok"' >/dev/null
      for _ in $(seq 50); do
        [ "$(gnome_eval 'String(!Main.overview.visible && !Main.overview.animationInProgress)')" = true ] && return 0
        sleep 0.1
      done
    fi
    sleep 0.5
  done
  cat "$g/logs/init.log" "$g/logs/shell.log" 2>/dev/null | tail -40
  return 1
}

# The first process of the namespace, in which a command is run.
gnome_pid() { cat "/proc/$GNOME_NS/task/$GNOME_NS/children" 2>/dev/null | awk '{ print $1 }'; }

gnome_run() {
  local pid
  pid=$(gnome_pid)
  [ -n "$pid" ] || return 1
  nsenter -t "$pid" -m -n -p -- bash -c ". $GNOME_DIR/env.sh; \"\$@\"" run "$@"
}

gnome_eval() {
  local out
  out=$(gnome_run gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>&1) || { echo "$out" >&2; return 1; }
  # (true, '"text"') -> text
  case "$out" in "(true, '"*) ;; *) echo "$out" >&2; return 1 ;; esac
  out=${out#"(true, '"}
  out=${out%"')"}
  out=${out#\"}
  echo "${out%\"}"
}

gnome_stop() {
  [ -n "$GNOME_NS" ] || return 0
  # unshare passes on no signal; killed, it takes the namespace's first process with it.
  { kill -9 "$GNOME_NS" && wait "$GNOME_NS"; } 2>/dev/null || true
  GNOME_NS=
}
