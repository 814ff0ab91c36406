#!/bin/sh
# The real game in a virtual 640x480 X server, played by xdotool: what it shows, records and
# keeps, how a recording replays and is watched, and how it ends on keys, signals, closed
# streams and recordings into pipes nobody reads.
set -u
game=$1
replay=$2
check=$3
name=end-to-end
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480

export SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy
run_game() { "$game" "$@" 2>>"$work/game.log" & game_pid=$!; }
shows_menu() { screenshot && "$check" even "$work/menu.bmp" "$work/shot.ppm"; }
start_game() { key Return && crosshair_at 319 239; }
replays() {  # FILE: quendra-replay takes it (exit 0)
  (cd "$work" && "$replay" "$1" >"$work/replay.out" 2>"$work/replay.err")
  code=$?
  [ "$code" -eq 0 ] || { cat "$work/replay.err"; fail "replaying $1 exits $code, not 0"; }
}

dump_menu "$replay"
mkdir "$work/game"
cd "$work/game" || exit 1
run_game --record "$work/run.replay"
wait_for shows_menu || { cat "$work/game.log"; fail "no menu as the replay draws it"; }

# A game: the crosshair starts centred on (319, 239); once a game has run, the mouse is the
# game's. Escape ends the game and stores its best score, the 3 a game starts with.
wait_for start_game || fail "no crosshair at the centre after Enter"
key Escape
best="$XDG_DATA_HOME/quendra/QUENDRA.DAT"
best_is() { [ "$(od -An -tx1 "$best" | tr -d ' \n')" = "$1" ]; }
limit=10
wait_for best_is 03000000 || fail "no best score of 3 stored after Escape"
other_window
# The game writes its recording down before it waits, minimised.
wait_for grep -q '^minimize' "$work/run.replay" || fail "the focus switch is not in the recording"
kill "$clock_pid"
focus_back() { xdotool windowfocus --sync "$(game_window)"; }
wait_for focus_back || fail "the game did not take the focus back"

# The next game: the crosshair follows the mouse 1:1 onto the first target's centre (399, 319),
# where a click as quick as xdotool's hits it. Each crosshair seen a pixel further on is a later
# read of the mouse: the third is past the shot and its scoring. (Enter again, should one be lost.)
wait_for start_game || fail "no game after the focus came back"
xdotool mousemove_relative -- 80 80 click 1
for x in 400 401 402; do
  xdotool mousemove_relative -- 1 0
  wait_for crosshair_at "$x" 319 || fail "the crosshair did not follow the mouse to $x, 319"
done
key Escape
wait_for best_is 04000000 || fail "the click was no hit: best score $(od -An -tx1 "$best")"
# A checkpoint comes at least once a second of play, flushed with it: two by now (however fast
# this machine played the rest), and the end's own to come.
checkpoints() { [ "$(grep -c '^check ' "$work/run.replay")" -ge 2 ]; }
wait_for checkpoints || fail "no checkpoint a second in the recording"
key Down Down
wait_for stands_still || fail "the menu did not stand still"
key Return
expect_exit_0 "Down, Down, Enter"
grep -q '^button down' "$work/run.replay" || fail "the click is not in the recording"
[ "$(grep -c '^check ' "$work/run.replay")" -ge 3 ] || fail "fewer than 3 checkpoints"

# The replay holds, and its last frame is the real game's last screenshot.
last=$(grep -n '^key enter$' "$work/run.replay" | tail -1 | cut -d: -f1)
sed "${last}i dump last.bmp" "$work/run.replay" > "$work/dumped.replay"
replays dumped.replay
[ ! -s "$work/replay.err" ] || { cat "$work/replay.err"; fail "the replay said something"; }
"$check" even "$work/last.bmp" "$work/b.ppm" || fail "the replay's last frame is not the game's"
[ "$(tail -1 "$work/replay.out")" = "exit 0" ] || fail "the replay did not end with exit 0"

# Watched in the real window, the recording plays to its end with every checkpoint holding; the
# player's Escape stops another watch at once. Neither touches the best score nor leaves a file.
best_before=$(ls -l --time-style=full-iso "$XDG_DATA_HOME/quendra")
ls -A > "$work/files.before"
"$game" --play "$work/run.replay" 2>"$work/play.log"
code=$?
[ "$code" -eq 0 ] && [ ! -s "$work/play.log" ] ||
  { cat "$work/play.log"; fail "watching the recording exits $code"; }
run_game --play "$work/run.replay"
wait_for game_window || fail "no window to watch in"
key Escape
expect_exit_0 "Escape while watching"
[ "$(ls -l --time-style=full-iso "$XDG_DATA_HOME/quendra")" = "$best_before" ] ||
  fail "watching touched the best-score folder"
ls -A | cmp -s - "$work/files.before" || fail "watching left files: $(ls -A)"

# A hand-edited recording: its first checkpoint after the click says another score.
awk '/^button down/ { clicked = 1 }
  clicked && !edited && /^check / { edited = sub(/ score=/, " score=9") } { print }' \
  "$work/run.replay" > "$work/edited.replay"
cmp -s "$work/edited.replay" "$work/run.replay" && fail "no checkpoint of a game to edit"
(cd "$work" && "$replay" edited.replay >/dev/null 2>"$work/replay.err")
code=$?
[ "$code" -eq 4 ] || fail "an edited recording exits $code, not 4"
line=$(grep -n -m1 ' score=9' "$work/edited.replay" | cut -d: -f1)
grep -q "line $line: the run differs from the recording: score is" "$work/replay.err" ||
  fail "the edited checkpoint is not named: $(cat "$work/replay.err")"

# A recording cut short by a kill replays up to where it ends, and says so.
run_game --record "$work/cut.replay"
wait_for start_game || fail "no game to cut short"
wait_for grep -q '^check .*playing=1' "$work/cut.replay" || fail "no checkpoint of the game"
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
replays cut.replay
grep -q "ends early" "$work/replay.err" || fail "the cut recording does not say it ends early"

# A best score the player made read-only: deleting it from the menu is refused, and the next read
# finds the old score. The replay, which keeps its best score in memory, is told so, and holds.
kept=$(od -An -tx1 "$best")
chmod 444 "$best"
run_game --record "$work/kept.replay"
wait_for stands_still || fail "no menu to delete the best score from"
key Down Return
sleep 0.5
key alt+F10
expect_exit_0 "Alt+F10 after deleting a read-only best score"
[ "$(od -An -tx1 "$best")" = "$kept" ] || fail "the read-only best score changed"
grep -q '^fault store-write 1$' "$work/kept.replay" ||
  fail "the recording does not say the store refused the write"
replays kept.replay

export XDG_DATA_HOME="$work/data2"
mkdir "$work/start"
cd "$work/start" || exit 1
printf '\005\000\000\000' > QUENDRA.DAT
: > "$work/game.log"
# A hang-up while a game runs (at half mouse speed), and while it waits with its window unmapped.
for unmap in no yes; do
  speed=1
  [ "$unmap" = no ] && speed=0.5
  run_game --mouse-speed "$speed"
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

# Started with a standard stream closed, the game must not give that number to its display: with
# a best-score file it can't read (a folder; said once) it plays and ends with exit code 0. Along
# with it, recordings to a full disk (said once), into a FIFO whose reader (descriptor 3) goes,
# and into one nobody reads: the game neither dies of the broken pipe nor waits for a reader.
export XDG_DATA_HOME="$work/data3"
mkdir -p "$XDG_DATA_HOME/quendra/QUENDRA.DAT"
rm -f "$work/pipe" && mkfifo "$work/pipe"
for closed in 0 1 2; do
  : > "$work/game.log"
  case $closed in
    0) exec 3<>"$work/pipe"
       "$game" --record "$work/pipe" <&- 3<&- 2>"$work/game.log" & ;;
    1) "$game" --record /dev/full >&- 2>"$work/game.log" & ;;
    2) "$game" --record "$work/pipe" 2>&- & ;;
  esac
  game_pid=$!
  limit=30
  wait_for shows_menu || { cat "$work/game.log"; fail "no menu with descriptor $closed closed"; }
  exec 3<&-
  key Return
  wait_for crosshair_at 319 239 || fail "no game with descriptor $closed closed"
  [ "$closed" = 1 ] && { wait_for grep -q "can't write the recording" "$work/game.log" ||
    fail "a recording to a full disk is not said"; }
  key Escape
  leave_game
  [ "$closed" = 2 ] || [ "$(grep -c "not a regular file" "$work/game.log")" = 1 ] ||
    fail "the unreadable best score was not said once: $(cat "$work/game.log")"
  [ "$closed" = 2 ] || [ "$(grep -c "can't write the recording" "$work/game.log")" = 1 ] ||
    fail "a full disk or a broken pipe is not said once: $(cat "$work/game.log")"
done
echo "end-to-end: as expected"
