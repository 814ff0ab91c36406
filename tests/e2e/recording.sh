#!/bin/sh
# Recordings of the real game in a virtual 640x480 X server. A run with moves, a click, Escape,
# a focus switch and a second game, recorded, replays with every checkpoint holding, and the
# last frame of the replay is the real game's last screenshot; watched, it plays to its end, or
# stops at the player's Escape, leaving the best score alone. A recording cut short by a kill
# replays to its end and says so; a recording edited by hand fails its checkpoint with exit 4;
# one that can't be written is said once while the game plays on. A read-only best score, whose
# deletion the game is refused, replays as it was played.
set -u
game=$1
replay=$2
check=$3
name=recording
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480
command -v xclock >/dev/null || fail "xclock is missing (x11-apps)"
mkdir "$work/game"
cd "$work/game" || exit 1

start_game() {  # FILE: records into FILE
  SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" --record "$1" 2>>"$work/game.log" &
  game_pid=$!
  # Keys go to the window once a picture stands still on it (the menu): it is there for good.
  wait_for stands_still || { cat "$work/game.log"; fail "no menu showed"; }
  xdotool search --onlyvisible --name '^Quendra$' windowfocus --sync
}
stands_still() {
  xwd -root -silent | convert xwd:- "ppm:$work/before.ppm" && sleep 0.2 && screenshot &&
    cmp -s "$work/before.ppm" "$work/shot.ppm" &&
    [ "$(convert "$work/shot.ppm" -format '%[max]' info:)" != 0 ]
}
click() { xdotool mousedown 1 && sleep 0.1 && xdotool mouseup 1; }
crosshair_at() { screenshot && "$check" crosshair "$1" "$2" "$work/shot.ppm"; }
new_game() {  # X Y: Enter (again, should one be lost), until the crosshair shows at X,Y
  entered() { key Return && sleep 0.2 && crosshair_at "$@"; }
  wait_for entered "$1" "$2" || fail "no game with the crosshair at $1,$2 after Enter"
}
replays() {  # FILE: quendra-replay takes it with no word on standard error
  (cd "$work" && "$replay" "$1" >"$work/replay.out" 2>"$work/replay.err")
  code=$?
  [ "$code" -eq 0 ] || { cat "$work/replay.err"; fail "replaying $1 exits $code, not 0"; }
}

# A run: a game with moves and a click, Escape, another window taking the focus and giving it
# back, a second game, Escape, and Alt+F10 from the menu.
printf '\003\000\000\000' > QUENDRA.DAT
XDG_DATA_HOME="$work/data" && mkdir -p "$XDG_DATA_HOME/quendra" && cp QUENDRA.DAT "$XDG_DATA_HOME/quendra/"
start_game "$work/run.replay"
new_game 319 239
xdotool mousemove_relative -- 60 -40
wait_for crosshair_at 379 199 || fail "the crosshair did not follow the mouse"
click
sleep 0.3
xdotool mousemove_relative -- -90 25
wait_for crosshair_at 289 224 || fail "the crosshair did not follow the mouse back"
key Escape
xclock &
clock_pid=$!
wait_for xdotool search --onlyvisible --class xclock windowfocus --sync ||
  fail "xclock did not take the focus"
sleep 0.5
kill "$clock_pid"
wait_for xdotool search --onlyvisible --name '^Quendra$' windowfocus --sync ||
  fail "the game did not take the focus back"
new_game 289 224
xdotool mousemove_relative -- 20 20
sleep 0.2
key Escape
sleep 0.5
screenshot
cp "$work/shot.ppm" "$work/last.ppm"
key alt+F10
expect_exit_0 "Alt+F10"
grep -q '^minimize' "$work/run.replay" || fail "the focus switch is not in the recording"
grep -q '^button down' "$work/run.replay" || fail "the click is not in the recording"
[ "$(grep -c '^check ' "$work/run.replay")" -ge 3 ] || fail "fewer than 3 checkpoints"

# The replay holds, and its last frame is the real game's last screenshot.
sed '$!{/^key alt+f10$/i\
dump last.bmp
}' "$work/run.replay" > "$work/dumped.replay"
replays dumped.replay
[ ! -s "$work/replay.err" ] || { cat "$work/replay.err"; fail "the replay said something"; }
"$check" same "$work/last.bmp" "$work/last.ppm" || fail "the replay's last frame is not the game's"
[ "$(tail -1 "$work/replay.out")" = "exit 0" ] || fail "the replay did not end with exit 0"

# Watched in the real window, the recording plays to its end with every checkpoint holding; the
# player's Escape stops another watch at once. Neither touches the best score nor leaves a file.
best_before=$(ls -l --time-style=full-iso "$XDG_DATA_HOME/quendra")
ls -A > "$work/files.before"
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" --play "$work/run.replay" 2>"$work/play.log"
code=$?
[ "$code" -eq 0 ] && [ ! -s "$work/play.log" ] ||
  { cat "$work/play.log"; fail "watching the recording exits $code"; }
SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy "$game" --play "$work/run.replay" 2>"$work/play.log" &
game_pid=$!
wait_for xdotool search --onlyvisible --name '^Quendra$' || fail "no window to watch in"
key Escape
expect_exit_0 "Escape while watching"
[ "$(ls -l --time-style=full-iso "$XDG_DATA_HOME/quendra")" = "$best_before" ] ||
  fail "watching touched the best-score folder"
ls -A | cmp -s - "$work/files.before" || fail "watching left files: $(ls -A)"

# A hand-edited recording: its first checkpoint after the click says another score.
sed '0,/^check .*playing=1/s/ score=\([0-9]*\) / score=9\1 /' "$work/run.replay" > "$work/edited.replay"
cmp -s "$work/edited.replay" "$work/run.replay" && fail "no checkpoint of a game to edit"
(cd "$work" && "$replay" edited.replay >/dev/null 2>"$work/replay.err")
code=$?
[ "$code" -eq 4 ] || fail "an edited recording exits $code, not 4"
line=$(grep -n -m1 ' score=9' "$work/edited.replay" | cut -d: -f1)
grep -q "line $line: .*score is" "$work/replay.err" ||
  fail "the edited checkpoint is not named: $(cat "$work/replay.err")"

# A recording cut short by a kill replays up to where it ends, and says so.
start_game "$work/cut.replay"
new_game 319 239
xdotool mousemove_relative -- 40 40
sleep 1.5
kill -KILL "$game_pid"
wait "$game_pid" 2>/dev/null
game_pid=""
grep -q '^check .*playing=1' "$work/cut.replay" || fail "the cut recording has no checkpoint of the game"
replays cut.replay
grep -q "ends early" "$work/replay.err" || fail "the cut recording does not say it ends early"
# A best score the player made read-only: deleting it from the menu is refused, and the next read
# finds the old score. The replay, which keeps its best score in memory, is told so, and holds.
best="$XDG_DATA_HOME/quendra/QUENDRA.DAT"
kept=$(od -An -tx1 "$best")
chmod 444 "$best"
start_game "$work/kept.replay"
key Down Return
sleep 0.5
key alt+F10
expect_exit_0 "Alt+F10 after deleting a read-only best score"
[ "$(od -An -tx1 "$best")" = "$kept" ] || fail "the read-only best score changed"
grep -q '^fault store-write 1$' "$work/kept.replay" ||
  fail "the recording does not say the store refused the write"
replays kept.replay

# A recording that can't be written is said once, and the game plays on to a normal end.
: > "$work/game.log"
start_game /dev/full
new_game 319 239
sleep 1.5  # past a checkpoint, whose flush fails
key Escape
key alt+F10
expect_exit_0 "Alt+F10 with a full disk"
[ "$(grep -c "can't write the recording to /dev/full" "$work/game.log")" = 1 ] ||
  fail "a full disk is not said once: $(cat "$work/game.log")"

echo "recording: replayed exactly, last frame as shown, edits and cuts as expected"
