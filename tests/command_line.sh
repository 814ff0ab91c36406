#!/bin/sh
# The command line of quendra and quendra-replay: --help and --version print on standard output
# and exit 0 without a window or a file; an unknown option or a stray argument prints the usage
# on standard error and exits 2, as does a mouse speed that is not a plain number from 0.25 to 4,
# or a malformed recording given to --play (with its line); --window, --no-sound, --mouse-speed
# and -- are taken (with no display the game then fails to start with exit code 1, having made
# nothing); closed standard streams stay closed.
set -u
game=$1
replay=$2
version=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "command line: $*" >&2; exit 1; }
cd "$dir" || exit 1
mkdir home
# No display to open and no folder but ours to write in.
run() { env -u DISPLAY -u WAYLAND_DISPLAY HOME="$dir/home" XDG_DATA_HOME="$dir/home/data" \
  "$@" >out 2>err; echo $? > code; }
expect() {  # CODE WHERE(out|err) TEXT: the exit code, and TEXT in that stream, the other empty
  [ "$(cat code)" = "$1" ] || fail "'$command' exits $(cat code), not $1"
  grep -q -- "$3" "$2" || fail "'$command' does not print '$3' on std$2"
  other=err; [ "$2" = err ] && other=out
  [ ! -s "$other" ] || fail "'$command' prints on std$other: $(cat "$other")"
}

# WANT WHERE TEXT COMMAND...: each command (words split at spaces) exits WANT with TEXT on
# std$WHERE, the other stream empty, and makes no file.
each() {
  want=$1 where=$2 text=$3
  shift 3
  for command in "$@"; do
    files=$(ls -A)
    # shellcheck disable=SC2086
    run $command
    expect "$want" "$where" "$text"
    [ -z "$(ls -A home)" ] && [ "$(ls -A)" = "$files" ] ||
      fail "'$command' made files: $(find . -mindepth 1)"
  done
}
touch code err out
printf 'wait 1\nframe\nwait soon\n' > bad.replay
each 0 out "usage:" "$game --help" "$game --window --help" "$replay --help"
each 0 out "^quendra $version\$" "$game --version"
each 0 out "^quendra-replay $version\$" "$replay --version"
# After "--" every word is an argument, which the game takes none of, and quendra-replay's script.
each 2 err "usage:" "$game --bogus" "$game -w" "$game extra" "$game --window --help-me" \
  "$game -- --help" "$replay -- --help" "$replay" "$replay --seed" "$replay --seed x -" \
  "$replay --clock -5 -" "$replay --fail disk -" "$replay --frobnicate -" "$replay - -" \
  "$game --mouse-speed" "$game --mouse-speed 0.2" "$game --mouse-speed=4.01" \
  "$game --mouse-speed nan" "$game --mouse-speed=inf" "$game --mouse-speed 2x" \
  "$game --mouse-speed 0x2" "$game --mouse-speed= 2" "$game --play" \
  "$game --record x --play bad.replay"
each 2 err "can't read the script" "$replay no-such-script" "$replay /tmp"
echo state > ./-x
command="$replay -- -x"  # (which writes its best score here)
run "$replay" -- -x
expect 0 out "exit 0"
# A malformed recording is refused with its line before anything starts.
each 2 err "bad.replay: line 3: bad time 'soon'" "$game --play bad.replay"

# Nothing is made for a game that can't start: no data folder, no copy of an old best score.
printf '\5\0\0\0' > QUENDRA.DAT
run "$game" --window --no-sound --mouse-speed 0.25 --mouse-speed=4 --
[ "$(cat code)" = 1 ] || fail "'--window --no-sound --mouse-speed --' without a display exits \
$(cat code)"
grep -q "display" err || fail "no word of the missing display: $(cat err)"
[ "$(ls -A home)" = "" ] || fail "a game without a display made $(find home -mindepth 1)"

# A closed standard stream stays closed for quendra-replay: no script is read from it, and output
# lost to it is a failure (exit 3), not a quiet success.
command="$replay - <&-"
"$replay" - <&- >out 2>err; echo $? > code
expect 2 err "standard input: Bad file descriptor"
command="$replay script >&-"
echo state > script
"$replay" script >&- 2>err; echo $? > code; : > out
expect 3 err "can't write the output: Bad file descriptor"
echo "command line: as expected"
