#!/bin/sh
# The real game at 1920x1080: even pixels, no pointer over the menu (cursor_check, the fourth
# argument), no sound device with --no-sound; with --window, no frames without the focus.
set -u
game=$1
replay=$2
check=$3
cursor=${4:-}
name=desktop
. "$(dirname "$0")/xvfb.sh"
start_xvfb 1920x1080

shows_even_menu() { screenshot && "$check" even "$work/menu.bmp" "$work/shot.ppm"; }

dump_menu "$replay"
mkdir "$work/game"
cd "$work/game" || exit 1
[ -z "$cursor" ] && [ "${QUENDRA_REQUIRE_XVFB:-0}" = 1 ] &&
  fail "built without cursor_check (libxfixes-dev)"

# Through the renderer the game picks (OpenGL on llvmpipe; the scaler test holds the software
# route). --no-sound: the disk audio driver would write what plays to this file; nothing may.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" "$game" --no-sound 2>"$work/game.log" &
game_pid=$!
xdotool mousemove 960 540
limit=30
wait_for shows_even_menu || {
  cat "$work/game.log"
  "$check" even "$work/menu.bmp" "$work/shot.ppm"
  fail "the menu never showed with even pixels"
}
if [ -n "$cursor" ]; then
  "$cursor" || fail "the pointer shows over the menu"
  xdotool mousemove 100 100
  sleep 0.2
  "$cursor" || fail "the pointer shows after moving"
fi
leave_game
[ ! -e "$work/sound.raw" ] || fail "--no-sound opened the sound device"

# --window: another window taking the focus stops a game's frames, the window left on the screen.
SDL_AUDIODRIVER=dummy "$game" --window 2>"$work/game.log" &
game_pid=$!
# Keys go to the window once a picture stands still on it: it is the window for good.
wait_for stands_still window || fail "--window: nothing showed in the window"
# A game's frames change as its targets grow (the menu's do not).
started() { xdotool windowfocus --sync "$(game_window)" key Return && frames_run window; }
wait_for started || fail "--window: Enter did not start a game"
other_window
limit=10
wait_for stands_still window || fail "--window: frames go on without the focus"
xwininfo -id "$(game_window)" | grep -q IsViewable || fail "--window: the window left the screen"
xdotool windowfocus --sync "$(game_window)"
wait_for frames_run window || fail "--window: frames did not go on with the focus back"
kill "$clock_pid"
clock_pid=""
key Escape
leave_game
echo "desktop: even pixels at 1920x1080, no pointer, no sound, exit 0, --window"
