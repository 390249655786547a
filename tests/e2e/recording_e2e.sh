#!/usr/bin/env bash
# A recording that meets the system's limits or another program: a second recording into
# its file, the file emptied under it, a full disk, a file-size limit, a pipe nobody
# reads, one whose reader stops taking and then goes. Each says so in one line naming the
# file and the reason, keeps its whole lines, and the game plays on.
# usage: recording_e2e.sh <orvanta binary> <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game sim artefacts -- "$@"
game=$(realpath "$game")
sim=$(realpath "$sim")
artefacts=$(realpath "$artefacts")
cd "$artefacts" # the files by short names, as the messages show them

own_xvfb 1024x768

# Waits for the one line the game says on stderr ($1) and checks it is $2.
said_once() {
  local deadline=$((SECONDS + 10))
  until grep -q . "$1" 2>/dev/null || [ $SECONDS -gt $deadline ]; do sleep 0.1; done
  expect_one_line "$1"
  [ "$(cat "$1")" = "orvanta: $2" ] || fail "the game said: $(head -c 600 "$1")"
}
# The game plays on: Escape on the ball asks to quit, and Yes ends it with status 0.
quit_playing() {
  wait_window "Clock" 5 >/dev/null
  sleep 1 # the cool-down's first tick gives the ball the keyboard
  xdotool key Escape
  wait_window "Exit" 5 >/dev/null
  xdotool key y
  expect_exit 5 0
}
# The sim replays a recording cut short up to its last whole line.
expect_replays_cut() {
  [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ] || fail "$1 does not end at a whole line"
  expect_summary "$(replay_summary "$sim" "$1" "$1.trace")" ended '"cut"'
}

echo "Two recordings into one file: the second is refused; the file cut short under the first"
shared=shared.replay
second_recording_refused() {
  wait_window "Orvanta Basketball" 8 >/dev/null
  ends_at_once 2 "" "cannot write $shared: another recording is writing to it" \
    "$game" --record "$shared"
}
start_playing --stderr shared.txt --on-the-way second_recording_refused "$game" --record "$shared"
sleep 0.5
truncate -s 0 "$shared"
said_once "shared.txt" "cannot write $shared: another program has cut the file short; the recording stops here"
quit_playing
[ ! -s "$shared" ] || fail "the game wrote into a file another program had emptied"

echo "A full disk"
full_disk=disk
mkdir -p "$full_disk"
namespace=(unshare -m)
[ "$(id -u)" = 0 ] || namespace=(unshare -rm)
# The small file system lives as long as the game's own mount namespace: the replay is
# copied out when the game ends.
start_playing --stderr full.txt "${namespace[@]}" \
  sh -c 'mount -t tmpfs -o size=8k tmpfs "$1" || exit 99 # no tmpfs here
  "$2" --record "$1/full.replay"; status=$?; cp "$1/full.replay" "$3"; exit $status' \
  sh "$full_disk" "$game" "full.replay"
said_once "full.txt" "cannot write $full_disk/full.replay: No space left on device; the recording stops here"
quit_playing
expect_replays_cut "full.replay"
rmdir "$full_disk"

echo "A file-size limit of 16 KiB"
start_playing --stderr limit.txt bash -c 'ulimit -f 16 && exec "$@"' bash "$game" --record "limit.replay"
said_once "limit.txt" "cannot write limit.replay: File too large; the recording stops here"
quit_playing
expect_replays_cut "limit.replay"

echo "A pipe: nobody reads it, a reader that stops taking, a reader gone"
pipe=recording.fifo
rm -f "$pipe"
mkfifo "$pipe"
ends_at_once 2 "" "cannot write $pipe: no program reads from it" "$game" --record "$pipe"
exec {reader}<>"$pipe" # this shell holds the pipe open and never reads it
start_playing --stderr pipe.txt "$game" --record "$pipe" {reader}<&-
sleep 8 # past what the pipe holds (64 KiB)
xdotool key Escape
wait_window "Exit" 5 >/dev/null
xdotool key n
wait_gone "Exit"
exec {reader}<&-
said_once "pipe.txt" "cannot write $pipe: Broken pipe; the recording stops here"
kill -TERM "$game_pid"
expect_exit 5 0
echo "PASS"
