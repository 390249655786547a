#!/usr/bin/env bash
# Every awk program in the shell scripts of bench/, scripts/ and tests/ compiles under mawk,
# Debian's own awk, which refuses things gawk takes (the benches run on no test, so only
# this sees theirs). A program is read where it is written: the single-quoted word after
# `awk` and its -v and -F options, on the same line or the next. An awk written any other
# way fails here too, so that none goes unchecked.
# usage: awk_programs.sh <source folder>
set -euo pipefail
source_dir=${1:?usage: awk_programs.sh <source folder>}
command -v mawk >/dev/null || { echo "FAIL: no mawk (Debian package mawk)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# mawk -W dump compiles a program and lists it without running it: no input, no -v values.
compiles() { mawk -W dump "$@" >/dev/null 2>"$work/error"; }
# The check itself must refuse what broke the bench: a bare > before a comma in printf.
! compiles '{printf "%s%s", NR > 1 ? "," : "", $1}' || { echo "FAIL: mawk took a bad program" >&2; exit 1; }

mapfile -t scripts < <(
  find "$source_dir/bench" "$source_dir/scripts" "$source_dir/tests" -type f | sort |
    while read -r file; do
      [[ $file == *.sh ]] || head -n 1 "$file" | grep -q '^#!.*\(ba\)\?sh' && echo "$file"
    done
)
[ ${#scripts[@]} -gt 0 ] || { echo "FAIL: no scripts under $source_dir" >&2; exit 1; }

# Writes each program to $work/<n>.awk and its place to $work/places ("<n> file:line"), or
# "bad file:line" where a call has no program to read.
mawk -v work="$work" '
  function place() { return FILENAME ":" FNR }
  function emit() {
    n++
    printf "%s", program >(work "/" n ".awk")
    close(work "/" n ".awk")
    print n, start >(work "/places")
  }
  # Reads the calls on what is left of a line; sets inside, or pending for a call whose
  # program comes on the next line.
  function calls(text, at) {
    while (1) {
      if (!pending) {
        at = match(text, /(^|[^A-Za-z0-9_.\/-])awk[ \t]/)
        if (!at) return
        text = substr(text, RSTART + RLENGTH - 1)
        start = place()
      }
      pending = 0
      while (match(text, /^[ \t]+-[vF][ \t]*("[^"]*"|\$\(\([^)]*\)\)|[^ \t\047"])+/))
        text = substr(text, RLENGTH + 1)
      sub(/^[ \t]+/, "", text)
      if (text == "\\") { pending = 1; return }
      if (substr(text, 1, 1) != "\047") { print "bad", start >(work "/places"); return }
      text = substr(text, 2)
      at = index(text, "\047")
      if (!at) { program = text "\n"; inside = 1; return }
      program = substr(text, 1, at - 1)
      emit()
      text = substr(text, at + 1)
    }
  }
  # A program still open where its file ends.
  function unread() { if (inside || pending) print "bad", start >(work "/places"); inside = pending = 0 }
  FNR == 1 { unread() }
  END { unread() }
  inside {
    at = index($0, "\047")
    if (!at) { program = program $0 "\n"; next }
    program = program substr($0, 1, at - 1)
    emit()
    inside = 0
    calls(substr($0, at + 1))
    next
  }
  !pending && /^[ \t]*#/ { next }
  { calls($0) }
' "${scripts[@]}"

[ -s "$work/places" ] || { echo "FAIL: found no program to check" >&2; exit 1; }
failed=0
checked=0
while read -r number where; do
  if [ "$number" = bad ]; then
    echo "FAIL: $where: awk's program is not a single-quoted word after its options" >&2
    failed=1
  elif ! compiles -f "$work/$number.awk"; then
    echo "FAIL: $where: mawk refuses the program: $(cat "$work/error")" >&2
    failed=1
  else
    checked=$((checked + 1))
  fi
done <"$work/places"
echo "$checked programs compile under mawk"
exit "$failed"
