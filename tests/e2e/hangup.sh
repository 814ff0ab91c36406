#!/bin/sh
# The real game in a virtual X server: a hang-up closes it as a close request does (exit code 0,
# not death by the signal), also while it waits with its window unmapped; and it keeps its best
# score in the XDG data folder, copied there from the folder it was started in. Skipped (77)
# where there is no Xvfb.
set -u
game=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "hangup: $*" >&2; cat "$work/game.log" >&2 2>/dev/null; exit 1; }
wait_for() {  # polls "$@" every 0.1 s for up to 20 s
  tries=200
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

display=120
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wait_for xdotool getdisplaygeometry || fail "the virtual X server did not start"

mkdir "$work/start"
cd "$work/start" || exit 1
printf '\005\000\000\000' > QUENDRA.DAT
export XDG_DATA_HOME="$work/data"
# Once while frames run, once while the game waits for events with its window unmapped.
for unmap in no yes; do
  SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" 2>"$work/game.log" &
  game_pid=$!
  wait_for xdotool search --name '^Quendra$' || fail "the game's window never showed"
  sleep 0.5
  if [ "$unmap" = yes ]; then
    xdotool search --name '^Quendra$' windowunmap
    sleep 0.5
  fi
  kill -HUP "$game_pid"
  tries=100
  while kill -0 "$game_pid" 2>/dev/null && [ "$tries" -gt 0 ]; do sleep 0.1; tries=$((tries - 1)); done
  kill -0 "$game_pid" 2>/dev/null && fail "the game did not end on SIGHUP (unmapped: $unmap)"
  wait "$game_pid"
  code=$?
  game_pid=""
  [ "$code" -eq 0 ] || fail "exit code $code after SIGHUP (unmapped: $unmap), not 0"
done
[ "$(od -An -tx1 "$XDG_DATA_HOME/quendra/QUENDRA.DAT" | tr -d ' \n')" = 05000000 ] ||
  fail "the best score was not copied to the data folder"
[ "$(stat -c %a "$XDG_DATA_HOME/quendra")" = 700 ] || fail "the data folder is not private"
[ "$(ls -A)" = QUENDRA.DAT ] || fail "the game left files in the folder it started in"
! grep -q "best" "$work/game.log" || fail "the game complained about its best score"
echo "hangup: closed with exit code 0; best score copied to the data folder"
