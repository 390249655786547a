# Helpers for driving the real game on an X server with xdotool. Sourced by the tests.

fail() {
  echo "FAIL: $*" >&2
  [ -n "${artefacts:-}" ] && import -window root "$artefacts/failure.png" 2>/dev/null
  exit 1
}

# A window name as a regular expression that matches exactly that name.
exactly() { printf '^%s$' "$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$1")"; }

# Prints the id of the visible window whose name is exactly $1, waiting up to $2 seconds.
wait_window() {
  local name=$1 seconds=${2:-10} id
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -le $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$(exactly "$name")" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  fail "no visible window named '$name' after ${seconds}s"
}

# Waits until no visible window is named $1.
wait_gone() {
  local name=$1 seconds=${2:-5}
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -le $deadline ]; do
    xdotool search --onlyvisible --name "$(exactly "$name")" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  fail "window '$name' still visible after ${seconds}s"
}

# Sets X, Y, WIDTH, HEIGHT to what the X server says of window $1.
geometry() {
  local info
  info=$(xwininfo -id "$1") || fail "xwininfo cannot read window $1"
  X=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  WIDTH=$(awk '/Width:/ {print $2}' <<<"$info")
  HEIGHT=$(awk '/Height:/ {print $2}' <<<"$info")
}

expect_geometry() { # window x y width height what
  geometry "$1"
  [ "$X $Y $WIDTH $HEIGHT" = "$2 $3 $4 $5" ] ||
    fail "$6 is at $X,$Y size ${WIDTH}x$HEIGHT, expected $2,$3 size $4x$5"
}

# Prints the id of the top-level window under the screen point $1,$2.
window_at() {
  xdotool mousemove --sync "$1" "$2" >/dev/null 2>&1 || xdotool mousemove "$1" "$2"
  eval "$(xdotool getmouselocation --shell)"
  echo "$WINDOW"
}

screenshot() { import -window root "$1" 2>/dev/null || fail "cannot take a screenshot"; }
