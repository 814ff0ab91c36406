#!/bin/sh
# The real game on a 1920x1080 virtual X server: the menu shows with even pixels (frame_check
# even), the pointer is hidden from the first menu frame on, also where it moves, --no-sound
# opens no sound device, and the game leaves with exit code 0. A fourth argument, cursor_check,
# checks the pointer (it needs XFixes).
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
# --no-sound: the disk audio driver would write what plays to this file; nothing may.
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" \
  "$game" --no-sound 2>"$work/game.log" &
game_pid=$!
wait_for shows_even_menu || {
  cat "$work/game.log"
  "$check" even "$work/menu.bmp" "$work/shot.ppm"
  fail "the menu never showed with even pixels"
}

[ -z "$cursor" ] && [ "${QUENDRA_REQUIRE_XVFB:-0}" = 1 ] &&
  fail "built without cursor_check (libxfixes-dev)"
if [ -n "$cursor" ]; then
  "$cursor" || fail "the pointer shows over the menu"
  xdotool mousemove 100 100
  sleep 0.2
  "$cursor" || fail "the pointer shows over the menu after moving"
fi
leave_game
[ ! -e "$work/sound.raw" ] || fail "--no-sound opened the sound device"
echo "desktop: even pixels at 1920x1080, no pointer, no sound, exit 0"
