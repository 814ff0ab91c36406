#!/bin/sh
# The real game in a virtual 640x480 X server: the menu is pixel for pixel the replay's menu, a
# game starts with Enter, the crosshair follows the mouse (at --mouse-speed's rate), a quick
# click hits the target under it, Escape stores the best score, Down, Down, Enter leave with exit
# code 0. A hang-up closes it with exit code 0, also with its window unmapped; a best score in
# the folder it starts in is copied to the XDG data folder. A closed standard stream does not
# hang it.
set -u
game=$1
replay=$2
check=$3
name=end-to-end
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480

shows_menu() { screenshot && "$check" same "$work/menu.bmp" "$work/shot.ppm"; }

dump_menu "$replay"
mkdir "$work/game"

cd "$work/game" || exit 1
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
game_pid=$!

wait_for shows_menu || { cat "$work/game.log"; fail "the menu never showed as the replay draws it"; }

# A game: the crosshair starts centred on (319, 239); once a game has run, the mouse is the
# game's. Escape ends the game and stores its best score, the 3 a game starts with.
start_game() { key Return && crosshair_at 319 239; }
wait_for start_game || fail "no crosshair at the centre after Enter"
key Escape
best="$XDG_DATA_HOME/quendra/QUENDRA.DAT"
best_is() { [ "$(od -An -tx1 "$best" | tr -d ' \n')" = "$1" ]; }
limit=10
wait_for best_is 03000000 || fail "no best score of 3 stored after Escape"

# The next game: the crosshair follows the mouse 1:1 onto the centre of the first target,
# (399, 319) at any size, where a click as quick as xdotool's hits it. Each crosshair seen one
# pixel further on is a frame that read the mouse after the one before: the third is past the
# read that saw the press, the shot and the hit's scoring.
key Return
xdotool mousemove_relative -- 80 80 click 1
for x in 400 401 402; do
  xdotool mousemove_relative -- 1 0
  wait_for crosshair_at "$x" 319 || fail "the crosshair did not follow the mouse to $x, 319"
done
key Escape
wait_for best_is 04000000 || fail "the click was no hit: best score $(od -An -tx1 "$best")"

leave_game

export XDG_DATA_HOME="$work/data2"
mkdir "$work/start"
cd "$work/start" || exit 1
printf '\005\000\000\000' > QUENDRA.DAT
# Once while a game runs (at half mouse speed), once while the game waits for events with its
# window unmapped.
for unmap in no yes; do
  speed=1
  [ "$unmap" = no ] && speed=0.5
  SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" --mouse-speed "$speed" \
    2>"$work/game.log" &
  game_pid=$!
  limit=30
  wait_for game_window || { cat "$work/game.log"; fail "no window showed"; }
  if [ "$unmap" = yes ]; then
    xdotool search --name '^Quendra$' windowunmap --sync
    sleep 0.5  # time to reach the wait for events (the hang-up must end it either way)
  else
    wait_for start_game || fail "no crosshair at the centre after Enter"
    xdotool mousemove_relative -- 200 -120
    wait_for crosshair_at 419 179 || fail "--mouse-speed 0.5: 200, -120 did not move 100, -60"
  fi
  kill -HUP "$game_pid"
  expect_exit_0 "SIGHUP, unmapped: $unmap"
done
[ "$(od -An -tx1 "$XDG_DATA_HOME/quendra/QUENDRA.DAT" | tr -d ' \n')" = 05000000 ] ||
  fail "the best score was not copied to the data folder"
[ "$(ls -A)" = QUENDRA.DAT ] || fail "the game left files in the folder it started in"
! grep -q "best" "$work/game.log" || fail "the game complained about its best score"

# Started with a standard stream closed, as some launchers do, the game must not give that number
# to its display connection: with a best-score file it can't read (a folder) to say so once the
# display is open, it still shows the menu, plays, answers keys and ends with exit code 0.
export XDG_DATA_HOME="$work/data3"
mkdir -p "$XDG_DATA_HOME/quendra/QUENDRA.DAT"
export SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy
for closed in 0 1 2; do
  : > "$work/game.log"
  case $closed in
    0) "$game" <&- 2>"$work/game.log" & ;;
    1) "$game" >&- 2>"$work/game.log" & ;;
    2) "$game" 2>&- & ;;
  esac
  game_pid=$!
  limit=30
  wait_for shows_menu || { cat "$work/game.log"; fail "no menu with descriptor $closed closed"; }
  key Return
  wait_for crosshair_at 319 239 || fail "no game with descriptor $closed closed"
  key Escape
  leave_game
  [ "$closed" = 2 ] || [ "$(grep -c "not a regular file" "$work/game.log")" = 1 ] ||
    fail "the unreadable best score was not said once: $(cat "$work/game.log")"
done
echo "end-to-end: menu, crosshair, quick click, mouse speed, best score, exit, hang-up and closed streams as expected"
