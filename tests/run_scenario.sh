#!/bin/sh
# Runs a scenario script through quendra-replay in a fresh folder and compares what it prints,
# and the best-score file it leaves, with the script's .expected file. Header lines of a script:
#   # options: --seed 7 --fail display      command-line options for quendra-replay
#   # best-score file: 0500                 the file's bytes (hex) before the run; "empty" for an
#                                           empty file; no such line: no file
# After the program's own output the runner adds a line "best-score file: HEX" (or "none").
set -u
replay=$1
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
expected="${script%.replay}.expected"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

options=$(sed -n 's/^# options: //p' "$script")
before=$(sed -n 's/^# best-score file: //p' "$script")
case "$before" in
  "") ;;
  empty) : > "$dir/QUENDRA.DAT" ;;
  *) perl -e 'print pack("H*", $ARGV[0])' "$before" > "$dir/QUENDRA.DAT" ;;
esac

cd "$dir" || exit 1
# shellcheck disable=SC2086
"$replay" $options "$script" > output 2>&1
bytes=$([ -f QUENDRA.DAT ] && od -An -tx1 -v QUENDRA.DAT | tr -d ' \n' || echo none)
echo "best-score file: $bytes" >> output
if ! diff -u "$expected" output; then
  echo "scenario $(basename "$script") differs from its expected output (above)" >&2
  exit 1
fi
