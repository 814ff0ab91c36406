#!/bin/sh
# The command line of quendra and quendra-replay: --help and --version print on standard output
# and exit 0 without a window or a file; an unknown option or a stray argument prints the usage
# on standard error and exits 2, as does a mouse speed that is not a plain number from 0.25 to 4;
# --window, --no-sound and --mouse-speed are taken (with no display the game then fails to start
# with exit code 1).
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

for command in "$game --help" "$game --window --help" "$game --version" "$replay --help" \
  "$replay --version"; do
  # shellcheck disable=SC2086
  run $command
  case "$command" in
    *--help) expect 0 out "usage:" ;;
    *) expect 0 out "$(basename "${command%% *}") $version\$" ;;
  esac
  [ "$(ls -A home)" = "" ] && [ "$(ls -A | tr '\n' ' ')" = "code err home out " ] ||
    fail "'$command' made files: $(find . -mindepth 1)"
done

for command in "$game --bogus" "$game -w" "$game extra" "$game --window --help-me" \
  "$game --mouse-speed" "$game --mouse-speed 0.2" "$game --mouse-speed=4.01" \
  "$game --mouse-speed nan" "$game --mouse-speed=inf" "$game --mouse-speed 2x" \
  "$game --mouse-speed 0x2" "$game --mouse-speed= 2"; do
  # shellcheck disable=SC2086
  run $command
  expect 2 err "usage:"
done

run "$game" --window --no-sound --mouse-speed 0.25 --mouse-speed=4
[ "$(cat code)" = 1 ] || fail "'--window --no-sound --mouse-speed' with no display exits $(cat code)"
grep -q "display" err || fail "no word of the missing display: $(cat err)"
echo "command line: as expected"
