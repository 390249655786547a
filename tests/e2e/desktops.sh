# Helpers for running the game on real desktops: a window manager on a private Xvfb, or a
# headless Wayland session with XWayland. Sourced by the tests after x11.sh.

# Starts `dbus-run-session -- "$@"` in the background; its pid and that of the program it
# runs are stopped when the test ends. The program's pid is in $session_program_pid.
start_session() {
  local log=$1
  shift
  dbus-run-session -- "$@" >"$log" 2>&1 &
  local session=$!
  cleanup_pids+=("$session")
  local deadline=$((SECONDS + 10))
  session_program_pid=
  while [ -z "$session_program_pid" ] && [ $SECONDS -le $deadline ]; do
    session_program_pid=$(pgrep -P "$session" -x "$(basename "$1")" || true)
    [ -n "$session_program_pid" ] || sleep 0.05
  done
  [ -n "$session_program_pid" ] || fail "$1 did not start: $(tail -n 5 "$log")"
  # Stopped before its session, so that the session ends with it.
  cleanup_pids=("$session_program_pid" "${cleanup_pids[@]}")
}

# Waits until a window manager has taken the X server's screen (EWMH's check window).
wait_window_manager() {
  local deadline=$((SECONDS + 15))
  while [ $SECONDS -le $deadline ]; do
    prints 'window id' xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null && return 0
    sleep 0.1
  done
  fail "no window manager took the screen: $(tail -n 5 "$1")"
}

# Settings of a desktop's own (KWin's kwinrc among them) from a private folder, so that
# the tests see each manager as it comes.
private_settings() {
  export XDG_CONFIG_HOME
  XDG_CONFIG_HOME=$(mktemp -d)
}

# A private Xvfb of size $2 with the X11 window manager $1 (mutter, xfwm4, kwin_x11, i3 or slow)
# on it; kwin_wayland gives a headless KWin Wayland session instead (own_kwin_wayland_session).
own_window_manager() {
  local manager=$1 size=$2 log
  if [ "$manager" = kwin_wayland ]; then
    own_kwin_wayland_session "$size"
    return
  fi
  own_xvfb "$size"
  private_settings
  log=$(mktemp)
  case $manager in
    mutter) start_session "$log" mutter --x11 --replace ;;
    xfwm4) start_session "$log" xfwm4 --replace --compositor=on ;;
    kwin_x11) start_session "$log" kwin_x11 --replace ;;
    # A manager that carries out each move 30 ms (three ticks) late: $SLOW_WM names it.
    slow) start_session "$log" "${SLOW_WM:?}" 30 ;;
    i3)
      # i3 will not start without a configuration; its bar comes with the defaults.
      printf 'font pango:monospace 8\nbar {\n}\n' >"$XDG_CONFIG_HOME/i3.conf"
      start_session "$log" i3 -c "$XDG_CONFIG_HOME/i3.conf"
      ;;
    *) fail "unknown window manager $manager" ;;
  esac
  wait_window_manager "$log"
}

# A headless KWin Wayland session of one monitor of size $1 with XWayland; DISPLAY and
# WAYLAND_DISPLAY point at it. KWin hands its X display only to the program it runs for
# the session, which passes it on here and then waits.
own_kwin_wayland_session() {
  local size=$1 kwin log found
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  private_settings
  # The binary carries a file capability, which a container may refuse to exec; a copy
  # without it runs (under its own name: KWin finds its plug-ins by it).
  kwin=$(command -v kwin_wayland)
  if ! "$kwin" --version >/dev/null 2>&1; then
    mkdir "$XDG_RUNTIME_DIR/bin"
    cp "$kwin" "$XDG_RUNTIME_DIR/bin/kwin_wayland"
    kwin=$XDG_RUNTIME_DIR/bin/kwin_wayland
  fi
  export WAYLAND_DISPLAY="orvanta-test-$$"
  log=$XDG_RUNTIME_DIR/kwin.log
  found=$XDG_RUNTIME_DIR/session.env
  start_session "$log" "$kwin" --virtual --xwayland --width "${size%x*}" --height "${size#*x}" \
    --socket "$WAYLAND_DISPLAY" --exit-with-session \
    "sh -c 'echo \"\$DISPLAY \$XAUTHORITY\" >$found.new && mv $found.new $found && exec sleep 1d'"
  local deadline=$((SECONDS + 20))
  until [ -s "$found" ] || [ $SECONDS -gt $deadline ]; do sleep 0.1; done
  [ -s "$found" ] || fail "KWin named no X display: $(tail -n 5 "$log")"
  read -r DISPLAY XAUTHORITY <"$found" || true
  export DISPLAY XAUTHORITY
  [ -n "$XAUTHORITY" ] || unset XAUTHORITY
  export QT_SCALE_FACTOR=${QT_SCALE_FACTOR:-1}
  deadline=$((SECONDS + 20))
  until xdpyinfo >/dev/null 2>&1 || [ $SECONDS -gt $deadline ]; do sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || fail "XWayland on $DISPLAY does not answer"
  wait_window_manager "$log"
}

# A headless Wayland session (mutter) with one virtual monitor per size given, side by
# side from the left, and XWayland; DISPLAY, XAUTHORITY and WAYLAND_DISPLAY point at it.
own_wayland_session() {
  local monitors=() size log display
  for size in "$@"; do monitors+=(--virtual-monitor "$size"); done
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export WAYLAND_DISPLAY="orvanta-test-$$"
  log=$XDG_RUNTIME_DIR/mutter.log
  start_session "$log" mutter --wayland --headless "${monitors[@]}" --wayland-display="$WAYLAND_DISPLAY"
  local deadline=$((SECONDS + 20))
  display=
  while [ -z "$display" ] && [ $SECONDS -le $deadline ]; do
    display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$log" | head -n 1)
    [ -n "$display" ] || sleep 0.1
  done
  [ -n "$display" ] || fail "mutter named no X display: $(tail -n 5 "$log")"
  export DISPLAY=$display
  export QT_SCALE_FACTOR=${QT_SCALE_FACTOR:-1}
  deadline=$((SECONDS + 20))
  while [ $SECONDS -le $deadline ]; do
    XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1 || true)
    export XAUTHORITY
    # XWayland answers before it has announced every monitor.
    [ -n "$XAUTHORITY" ] && [ "$(xrandr --listmonitors 2>/dev/null | head -n 1)" = "Monitors: $#" ] &&
      return 0
    sleep 0.1
  done
  fail "XWayland on $DISPLAY does not answer with $# monitors"
}

# Lays the Wayland session's monitors out anew through mutter's display configuration
# (D-Bus), as the display settings would: $1 is the list of logical monitors, for example
# "[(0, 0, 1.0, 0, true, [('Meta-1', '800x600@60.000', @a{sv} {})])]" keeps only the
# second virtual monitor, at the desktop's corner, as the primary one.
apply_monitors() {
  local bus state serial
  bus=$(tr '\0' '\n' <"/proc/$session_program_pid/environ" | sed -n 's/^DBUS_SESSION_BUS_ADDRESS=//p')
  local call=(gdbus call --address "$bus" --dest org.gnome.Mutter.DisplayConfig
    --object-path /org/gnome/Mutter/DisplayConfig)
  state=$("${call[@]}" --method org.gnome.Mutter.DisplayConfig.GetCurrentState) ||
    fail "mutter does not tell its monitors"
  serial=$(sed -n 's/^(uint32 \([0-9]*\),.*/\1/p' <<<"$state")
  "${call[@]}" --method org.gnome.Mutter.DisplayConfig.ApplyMonitorsConfig "$serial" 1 "$1" \
    "@a{sv} {}" >/dev/null || fail "mutter refused the monitors $1"
}

# The frame's extents that the window manager gives window $1: sets LEFT_EDGE and TOP_EDGE
# (0 for a window without a frame).
frame_extents() {
  local extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
  LEFT_EDGE=0
  TOP_EDGE=0
  [ -n "$extents" ] || return 0
  LEFT_EDGE=$(cut -d, -f1 <<<"$extents" | tr -d ' ')
  TOP_EDGE=$(cut -d, -f3 <<<"$extents" | tr -d ' ')
}

# The monitor that `xrandr` names primary: sets MONITOR_X, MONITOR_Y, MONITOR_WIDTH,
# MONITOR_HEIGHT.
primary_monitor() {
  local line
  line=$(xrandr --listmonitors | awk '$2 ~ /^\+\*/ {print $3}')
  [ -n "$line" ] || fail "xrandr names no primary monitor"
  # 800/212x600/159+1024+0
  MONITOR_WIDTH=$(sed 's|/.*||' <<<"$line")
  MONITOR_HEIGHT=$(sed 's|^[^x]*x||; s|/.*||' <<<"$line")
  MONITOR_X=$(cut -d+ -f2 <<<"$line")
  MONITOR_Y=$(cut -d+ -f3 <<<"$line")
}

# A picture of window $1 alone: XWayland has no picture of its root window.
window_shot() { import -silent -window "$1" "$2" 2>/dev/null || fail "cannot take a picture of window $1"; }
