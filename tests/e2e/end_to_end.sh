#!/bin/sh
# The real game in a virtual 640x480 X server: the menu is pixel for pixel the replay's menu, a
# game starts with Enter, the crosshair follows the mouse, Escape stores the best score, Down,
# Down, Enter leave with exit code 0. A hang-up closes it with exit code 0, also with its window
# unmapped; a best score in the folder it starts in is copied to the XDG data folder. A closed
# standard stream does not hang it.
set -u
game=$1
replay=$2
check=$3
name=end-to-end
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480

shows_menu() { screenshot && "$check" same "$work/menu.bmp" "$work/shot.ppm"; }
shows_crosshair_at() { screenshot && "$check" crosshair "$1" "$2" "$work/shot.ppm"; }

# What the menu must look like with no best score yet, from the scripted platform.
dump_menu "$replay"
mkdir "$work/game"

cd "$work/game" || exit 1
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
game_pid=$!

wait_for shows_menu || { cat "$work/game.log"; fail "the menu never showed as the replay draws it"; }

# A game: the crosshair starts centred on (319, 239) and follows the mouse 1:1.
key Return
wait_for shows_crosshair_at 319 239 || fail "no crosshair at the centre after Enter"
xdotool mousemove_relative -- 100 -60
wait_for shows_crosshair_at 419 179 || fail "the crosshair did not follow the mouse"

# Escape ends the game and stores its best score (at least the 3 a game starts with).
key Escape
limit=10
best="$XDG_DATA_HOME/quendra/QUENDRA.DAT"
wait_for test -s "$best" || fail "no best score stored after Escape"

leave_game

export XDG_DATA_HOME="$work/data2"
mkdir "$work/start"
cd "$work/start" || exit 1
printf '\005\000\000\000' > QUENDRA.DAT
# Once while frames run, once while the game waits for events with its window unmapped.
for unmap in no yes; do
  SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
  game_pid=$!
  limit=30
  # The window is made hidden and shown once the game is set up.
  wait_for xdotool search --onlyvisible --name '^Quendra$' ||
    { cat "$work/game.log"; fail "no window showed"; }
  if [ "$unmap" = yes ]; then
    xdotool search --name '^Quendra$' windowunmap --sync
    sleep 0.5  # time to reach the wait for events (the hang-up must end it either way)
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
  wait_for shows_crosshair_at 319 239 || fail "no game with descriptor $closed closed"
  key Escape
  leave_game
  [ "$closed" = 2 ] || [ "$(grep -c "not a regular file" "$work/game.log")" = 1 ] ||
    fail "the unreadable best score was not said once: $(cat "$work/game.log")"
done
echo "end-to-end: menu, crosshair, best score, exit, hang-up and closed streams all as expected"
