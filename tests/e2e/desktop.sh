#!/bin/sh
# The real game on a 1920x1080 virtual X server: the menu shows with even pixels, the pointer
# is hidden (checked by a fourth argument, cursor_check, which needs XFixes), --no-sound opens
# no sound device; with --window, frames stop while another window has the focus.
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

# Through the renderer the game picks itself (OpenGL on Mesa's llvmpipe under Xvfb); the
# software renderer's route is held to the same picture at many sizes by the scaler test.
# --no-sound: the disk audio driver would write what plays to this file; nothing may.
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

# --window: in a game, another window taking the focus stops the frames and leaves the game's
# window on the screen; the focus back, they run on.
command -v xclock >/dev/null || fail "xclock is missing (x11-apps)"
SDL_AUDIODRIVER=dummy "$game" --window 2>"$work/game.log" &
game_pid=$!
# The window is made hidden, then shown, and made anew for an OpenGL renderer: its id is looked
# up at each use, and keys go to it only once a picture stands still on it (the loading notice
# or the menu), when it is the window for good.
window() { xdotool search --onlyvisible --name '^Quendra$' | head -1; }
window_shot() { xwd -id "$(window)" -silent | convert xwd:- "ppm:$work/$1.ppm"; }
two_shots() { window_shot a && sleep 0.5 && window_shot b; }
frames_run() { two_shots && ! cmp -s "$work/a.ppm" "$work/b.ppm"; }
frames_stopped() { two_shots && cmp -s "$work/a.ppm" "$work/b.ppm"; }
drawn() { frames_stopped && [ "$(convert "$work/b.ppm" -format '%[max]' info:)" != 0 ]; }
wait_for drawn || fail "--window: nothing showed in the window"
# A game's frames change as its targets grow (the menu's do not).
started() { xdotool windowfocus --sync "$(window)" key Return && frames_run; }
wait_for started || fail "--window: Enter did not start a game"
xclock &
clock_pid=$!
wait_for xdotool search --onlyvisible --class xclock || fail "xclock did not start"
xdotool windowfocus --sync "$(xdotool search --onlyvisible --class xclock | head -1)"
limit=10
wait_for frames_stopped || fail "--window: frames go on without the focus"
xwininfo -id "$(window)" | grep -q IsViewable || fail "--window: the window left the screen"
xdotool windowfocus --sync "$(window)"
wait_for frames_run || fail "--window: frames did not go on with the focus back"
kill "$clock_pid"
clock_pid=""
key Escape
leave_game
echo "desktop: even pixels at 1920x1080, no pointer, no sound, exit 0, --window"
