# Helpers for driving the real game on an X server with xdotool. Sourced by the tests.

# Processes to stop when the test ends, however it ends.
cleanup_pids=()
cleanup() {
  local pid
  for pid in "${cleanup_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$tests_data_home"
}
trap cleanup EXIT

# The games the tests play are kept in a folder of their own, never in the player's.
tests_data_home=$(mktemp -d)
export XDG_DATA_HOME=$tests_data_home

# Starts a private X server of the given size (WxH) and points DISPLAY at it, so that
# tests can run side by side without sharing the pointer and the keyboard.
own_xvfb() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  cleanup_pids+=("$xvfb_pid")
  read -r -t 10 number <"$fifo" || fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d)
    chmod 700 "$XDG_RUNTIME_DIR"
  fi
  export QT_SCALE_FACTOR=${QT_SCALE_FACTOR:-1}
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY does not answer"
}

# Whether what a command prints (the arguments after the first) contains $1. The output is
# read whole: in `command | grep -q` under pipefail, grep stops at the first match and the
# command, if it still has lines to write, dies of SIGPIPE and fails the check.
prints() {
  local pattern=$1 output
  shift
  output=$("$@") || return 1
  grep -q -- "$pattern" <<<"$output"
}

# Names the script's arguments in order: `arguments game sim artefacts -- "$@"` sets $game,
# $sim and $artefacts. Every script keeps its pictures and files in $artefacts, made here.
arguments() {
  local -a names=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    names+=("$1")
    shift
  done
  shift
  [ $# = ${#names[@]} ] || fail "usage: $(basename "$0")$(printf ' <%s>' "${names[@]}")"
  while [ $# -gt 0 ]; do
    printf -v "${names[${#names[@]} - $#]}" '%s' "$1"
    shift
  done
  mkdir -p "$artefacts"
}

# Starts the game; its pid is in $game_pid.
start_game() {
  "$@" &
  game_pid=$!
  cleanup_pids+=("$game_pid")
}

# Starts x_watch ($1) on the ball, noting in $artefacts/watch.txt each place X gives it,
# and waits until it watches.
watch_ball() {
  "$1" Clock >"$artefacts/watch.txt" 2>"$artefacts/watch.err" &
  cleanup_pids+=($!)
  until grep -q '^ready' "$artefacts/watch.txt" 2>/dev/null; do sleep 0.05; done
}

# Waits up to $1 seconds for the game to end and checks its exit status is $2.
expect_exit() {
  local seconds=$1 expected=$2 status
  local deadline=$((SECONDS + seconds))
  while kill -0 "$game_pid" 2>/dev/null && [ $SECONDS -le $deadline ]; do sleep 0.05; done
  kill -0 "$game_pid" 2>/dev/null && fail "the game is still running after ${seconds}s"
  wait "$game_pid" && status=0 || status=$?
  [ "$status" = "$expected" ] || fail "the game ended with status $status, expected $expected"
}

# $1 + $2 logical pixels at scale $3, in whole device pixels.
scaled() { awk -v at="$1" -v by="$2" -v scale="$3" 'BEGIN {printf "%d", at + by * scale}'; }

# From launch into a one-minute game, as a player gets there: starts the game (the command
# after the options), types the name on the entry screen, picks the length, continues, and
# sets ball, hoop, board and $game_started (in $SECONDS).
#   --name NAME      the player's name, Ann if not given; '' keeps what the name box holds
#   --scale N        device pixels to a logical one, 1 if not given
#   --stderr FILE    where the game's stderr goes
#   --on-the-way F   a function run once the game is started: checks of the loading and
#                    entry screens, or anything to do before the entry screen is used
start_playing() {
  # Names of their own: the --on-the-way function runs in here and sees these.
  local player=Ann device_scale=1 game_stderr= on_the_way= entry_screen
  while :; do
    case $1 in
      --name) player=$2 ;;
      --scale) device_scale=$2 ;;
      --stderr) game_stderr=$2 ;;
      --on-the-way) on_the_way=$2 ;;
      *) break ;;
    esac
    shift 2
  done
  if [ -n "$game_stderr" ]; then start_game "$@" 2>"$game_stderr"; else start_game "$@"; fi
  [ -z "$on_the_way" ] || "$on_the_way"
  entry_screen=$(wait_window "Orvanta Basketball" 8)
  settled_geometry "$entry_screen"
  # With no window manager the keyboard follows the pointer: put it on the window.
  xdotool mousemove $(scaled "$X" 40 "$device_scale") $(scaled "$Y" 40 "$device_scale")
  xdotool windowfocus --sync "$entry_screen"
  if [ -n "$player" ]; then
    xdotool key --clearmodifiers alt+p
    xdotool type --delay 20 "$player"
  fi
  xdotool key --clearmodifiers alt+m
  xdotool key Down
  xdotool mousemove $(scaled "$X" 360 "$device_scale") $(scaled "$Y" 308 "$device_scale") click 1
  wait_window "Game Play" 5 >/dev/null
  xdotool key Return
  play_windows
  game_started=$SECONDS
}

fail() {
  echo "FAIL: $*" >&2
  [ -n "${artefacts:-}" ] && import -silent -window root "$artefacts/failure.png" 2>/dev/null
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

# Moves the pointer round a circle on a 1024 x 768 screen, ten steps a second, for $1
# seconds: something for a pointer-chasing toy to chase.
circle_pointer_for() {
  local deadline=$(($(date +%s) + $1)) angle=0
  while [ "$(date +%s)" -lt "$deadline" ]; do
    angle=$(((angle + 7) % 360))
    xdotool mousemove $(awk -v a=$angle 'BEGIN {printf "%d %d", 512 + 300 * cos(a / 57.3), 384 + 250 * sin(a / 57.3)}')
    sleep 0.1
  done
}

# Sets ball, hoop and board to the windows of a game that has just begun.
play_windows() {
  ball=$(wait_window "Clock" 5)
  hoop=$(wait_window "Orvanta Basketball" 2)
  board=$(wait_window "Score Board" 2)
}

# The game's windows where a game on a 1024 x 768 screen begins: the hoop and the board
# in their places, the 64-pixel ball at its starting x.
expect_play_layout() {
  expect_place "$hoop" 408 128 "the hoop"
  [ "$WIDTH $HEIGHT" = "209 113" ] || fail "the hoop is ${WIDTH}x$HEIGHT, expected 209x113"
  expect_place "$board" 0 679 "the score board"
  [ "$WIDTH $HEIGHT" = "281 89" ] || fail "the score board is ${WIDTH}x$HEIGHT, expected 281x89"
  geometry "$ball"
  [ "$X $WIDTH $HEIGHT" = "479 64 64" ] ||
    fail "the ball is at x $X size ${WIDTH}x$HEIGHT, expected x 479 size 64x64"
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

# Like geometry, once window $1 has stood still for 0.1 s: a window manager may map a
# window at the corner and place it a moment later (KWin does).
settled_geometry() {
  local before
  geometry "$1"
  before="$X $Y"
  for _ in $(seq 1 30); do
    sleep 0.1
    geometry "$1"
    [ "$X $Y" = "$before" ] && return 0
    before="$X $Y"
  done
}

expect_geometry() { # window x y width height what
  geometry "$1"
  [ "$X $Y $WIDTH $HEIGHT" = "$2 $3 $4 $5" ] ||
    fail "$6 is at $X,$Y size ${WIDTH}x$HEIGHT, expected $2,$3 size $4x$5"
}

# Waits up to 3 s until window $1 stands at $2,$3 (what moves it may take a moment).
expect_place() { # window x y what
  local deadline=$((SECONDS + 3))
  while [ $SECONDS -le $deadline ]; do
    geometry "$1"
    [ "$X $Y" = "$2 $3" ] && return 0
    sleep 0.05
  done
  fail "$4 is at $X,$Y, expected $2,$3"
}

# Prints the id of the top-level window under the screen point $1,$2.
window_at() {
  xdotool mousemove --sync "$1" "$2" >/dev/null 2>&1 || xdotool mousemove "$1" "$2"
  eval "$(xdotool getmouselocation --shell)"
  echo "$WINDOW"
}

# Puts the keyboard on window $1: with no window manager it follows the pointer.
focus_window() {
  geometry "$1"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 5))
  xdotool windowfocus --sync "$1"
}

# Copies what the focused text box holds and prints it, exactly. Needs $clipboard_tool.
copy_text_box() {
  xdotool key --clearmodifiers ctrl+a ctrl+c
  sleep 0.2
  "$clipboard_tool" get
}

# Replaces what the focused text box holds with $1, pasted as a player would. Needs
# $clipboard_tool, which serves the text until the next copy takes the clipboard.
paste_into_text_box() {
  local fifo owned
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  printf '%s' "$1" | "$clipboard_tool" set >"$fifo" &
  cleanup_pids+=($!)
  read -r -t 10 owned <"$fifo" || true
  rm -f "$fifo"
  [ "${owned:-}" = owned ] || fail "the clipboard tool did not take the clipboard"
  xdotool key --clearmodifiers ctrl+a Delete ctrl+v
  sleep 0.2
}

screenshot() { import -silent -window root "$1" 2>/dev/null || fail "cannot take a screenshot"; }

# Checks that every position at which X saw the ball window ($1, from bench/x_watch) is
# one that the replay's trace ($2, from orvanta-sim --replay --trace) gives, in the same
# order, in logical pixels times the scale $3. Only the first may be missing: where the
# window was placed before its first tick. A ball partly past an edge of the screen ($4,
# logical pixels, 1024x768 if not given) has its window at that edge (drawn cut). Prints
# how many positions matched.
expect_ball_path() {
  local watch=$1 trace=$2 scale=${3:-1} size=${4:-1024x768} result
  result=$(awk -v scale="$scale" -v width="${size%x*}" -v height="${size#*x}" '
    function inside(at, size) { return at < 0 ? 0 : at > size - 64 ? size - 64 : at }
    BEGIN { i = 0 }
    FNR == NR {
      if (match($0, /"x":-?[0-9]+,"y":-?[0-9]+/)) {
        split(substr($0, RSTART, RLENGTH), part, /[:,]/)
        at = inside(part[2], width) " " inside(part[4], height)
        if (at != last) { path[n++] = at; last = at }
      }
      next
    }
    $1 == "move" && !failed {
      if ($3 % scale || $4 % scale) { print "X saw the ball between logical pixels: " $3 "," $4; failed = 1; next }
      seen = ($3 / scale) " " ($4 / scale)
      j = i
      while (j < n && path[j] != seen) j++
      if (j == n) {
        if (matched == 0 && !placed) { placed = 1; next }
        print "X saw the ball at " seen " after " matched " matching positions; the replay never has it there next"
        failed = 1
        next
      }
      i = j
      matched++
    }
    END { if (!failed) print matched }' "$trace" "$watch")
  [[ $result =~ ^[0-9]+$ ]] || fail "$result"
  [ "$result" -gt 0 ] || fail "X saw no move of the ball to compare"
  echo "$result"
}

# Replays the recording $2 with orvanta-sim ($1), keeping the trace in $3; prints the
# summary line. A replay that goes another way than its recording fails the test.
replay_summary() {
  local sim=$1 recording=$2 trace=$3 status=0
  "$sim" --replay "$recording" --trace >"$trace" 2>"$trace.err" || status=$?
  [ "$status" = 0 ] || fail "orvanta-sim --replay ended with status $status: $(cat "$trace.err")"
  tail -n 1 "$trace"
}

# Checks that the summary JSON $1 has the field $2 with the JSON value $3.
expect_summary() {
  [[ $1 == *"\"$2\":$3,"* || $1 == *"\"$2\":$3}"* ]] || fail "the replay's $2 is not $3: $1"
}

# Checks that the file $1 (a game's stderr) holds exactly one line.
expect_one_line() {
  local lines
  lines=$(grep -vc '^$' "$1" || true)
  [ "$lines" = 1 ] || fail "the game said $lines lines on stderr: $(head -c 600 "$1")"
}

# One start that ends at once: the expected status, the start of the first line on
# stdout (or empty: no stdout), the start of the only line on stderr (or empty: any),
# then the command. Its output is kept in the script's $artefacts folder; its stderr holds
# no control character for the terminal to obey.
case_number=0
ends_at_once() {
  local status=$1 out=$2 err=$3 seen
  shift 3
  case_number=$((case_number + 1))
  local stdout_file="$artefacts/case-$case_number.out" stderr_file="$artefacts/case-$case_number.err"
  echo "  $*" | cat -v
  timeout 10 "$@" >"$stdout_file" 2>"$stderr_file" && seen=0 || seen=$?
  [ "$seen" = "$status" ] || fail "'$*' ended with status $seen, expected $status: $(head -c 600 "$stderr_file")"
  ! LC_ALL=C grep -q $'[\x01-\x08\x0e-\x1f\x7f]' "$stderr_file" ||
    fail "'$*' wrote control characters on stderr: $(head -c 600 "$stderr_file" | cat -v)"
  if [ -n "$out" ]; then
    [[ "$(head -n 1 "$stdout_file")" == "$out"* ]] || fail "'$*' printed: $(head -c 300 "$stdout_file")"
  else
    [ ! -s "$stdout_file" ] || fail "'$*' printed on stdout: $(head -c 300 "$stdout_file")"
  fi
  if [ "$status" = 1 ]; then
    expect_one_line "$stderr_file"
  fi
  if [ -n "$err" ]; then
    [[ "$(head -n 1 "$stderr_file")" == "orvanta: $err"* ]] || fail "'$*' said: $(head -c 600 "$stderr_file")"
  fi
}
