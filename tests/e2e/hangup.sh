#!/bin/sh
# The real game in a virtual X server: a hang-up closes it as a close request does (exit code 0,
# not death by the signal), also while it waits with its window unmapped; and it keeps its best
# score in the XDG data folder, copied there from the folder it was started in.
set -u
game=$1
name=hangup
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480

mkdir "$work/start"
cd "$work/start" || exit 1
printf '\005\000\000\000' > QUENDRA.DAT
# Once while frames run, once while the game waits for events with its window unmapped.
for unmap in no yes; do
  SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
  game_pid=$!
  limit=30
  wait_for xdotool search --name '^Quendra$' || { cat "$work/game.log"; fail "no window showed"; }
  sleep 0.5
  if [ "$unmap" = yes ]; then
    xdotool search --name '^Quendra$' windowunmap
    sleep 0.5
  fi
  kill -HUP "$game_pid"
  expect_exit_0 "SIGHUP, unmapped: $unmap"
done
[ "$(od -An -tx1 "$XDG_DATA_HOME/quendra/QUENDRA.DAT" | tr -d ' \n')" = 05000000 ] ||
  fail "the best score was not copied to the data folder"
[ "$(stat -c %a "$XDG_DATA_HOME/quendra")" = 700 ] || fail "the data folder is not private"
[ "$(ls -A)" = QUENDRA.DAT ] || fail "the game left files in the folder it started in"
! grep -q "best" "$work/game.log" || fail "the game complained about its best score"
echo "hangup: closed with exit code 0; best score copied to the data folder"
