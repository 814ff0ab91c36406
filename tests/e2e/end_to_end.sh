#!/bin/sh
# The real game in a virtual 640x480 X server: the menu is pixel for pixel the replay's menu, a
# game starts with Enter, the crosshair follows the mouse, Escape ends the game, Down, Down,
# Enter leave with exit code 0 and the best score stored. Waits for what it expects (polling,
# with a bound) instead of sleeping fixed times.
set -u
game=$1
replay=$2
check=$3
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "end-to-end: $*" >&2; exit 1; }

# Polls `$@` every 0.1 s for up to $limit seconds.
limit=30
wait_for() {
  tries=$((limit * 10))
  while [ "$tries" -gt 0 ]; do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for xdotool getdisplaygeometry || fail "the virtual X server did not start"

screenshot() { xwd -root -silent | convert xwd:- "ppm:$work/shot.ppm"; }
shows_menu() { screenshot && "$check" same "$work/menu.bmp" "$work/shot.ppm"; }
shows_crosshair_at() { screenshot && "$check" crosshair "$1" "$2" "$work/shot.ppm"; }
game_gone() { ! kill -0 "$game_pid" 2>/dev/null; }

# What the menu must look like with no best score yet, from the scripted platform.
mkdir "$work/replay" "$work/game"
printf 'wait 1\nframe\ndump %s/menu.bmp\n' "$work" > "$work/menu.replay"
(cd "$work/replay" && "$replay" "$work/menu.replay" >/dev/null) || fail "quendra-replay failed"

cd "$work/game" || exit 1
export XDG_DATA_HOME="$work/data"  # the game keeps its best score there
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
game_pid=$!

wait_for shows_menu || { cat "$work/game.log"; fail "the menu never showed as the replay draws it"; }

key() { xdotool key --delay 50 "$@"; }

# A game: the crosshair starts centred on (319, 239) and follows the mouse 1:1.
key Return
wait_for shows_crosshair_at 319 239 || fail "no crosshair at the centre after Enter"
xdotool mousemove_relative -- 100 -60
wait_for shows_crosshair_at 419 179 || fail "the crosshair did not follow the mouse"
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 0.2

# Escape ends the game and stores its best score (at least the 3 a game starts with).
key Escape
limit=10
wait_for test -s "$XDG_DATA_HOME/quendra/QUENDRA.DAT" || fail "no best score stored after Escape"
[ "$(wc -c < "$XDG_DATA_HOME/quendra/QUENDRA.DAT")" -eq 4 ] || fail "the best-score file does not hold 4 bytes"

# Down, Down, Enter: leave.
key Down Down Return
limit=20
wait_for game_gone || fail "the game did not leave"
wait "$game_pid"
code=$?
game_pid=""
[ "$code" -eq 0 ] || { cat "$work/game.log"; fail "exit code $code, not 0"; }
echo "end-to-end: menu, crosshair, best score and exit all as expected"
