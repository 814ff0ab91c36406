# Sourced by the tests of the real game in a virtual X server ($name: the test's; $check:
# frame_check). Without Xvfb a test is skipped (77), a failure with QUENDRA_REQUIRE_XVFB=1.
work=$(mktemp -d)
export XDG_DATA_HOME="$work/data"  # the game keeps its best score in the test's own folder
xvfb_pid=""
game_pid=""
clock_pid=""  # another program's window, when a test needs one
cleanup() {
  # Everything started here goes, or it would hold the test's output open after it ends.
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$name: $*" >&2; exit 1; }

# Polls `$@` every 0.1 s for up to $limit seconds.
limit=30
wait_for() {
  deadline=$(($(date +%s) + limit))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# Starts Xvfb with one screen of the given size (e.g. 640x480) on a free display.
start_xvfb() {
  for tool in Xvfb xdotool xwd convert; do
    command -v "$tool" >/dev/null 2>&1 && continue
    [ "${QUENDRA_REQUIRE_XVFB:-0}" = 1 ] && fail "$tool is missing (tools/install-deps.sh)"
    echo "$name: skipped, $tool is missing"
    exit 77
  done
  # -displayfd: a free number of its own, never a dying server's; -noreset: no reset (and no
  # display for a while) each time its last client leaves.
  Xvfb -displayfd 3 -noreset -screen 0 "${1}x24" -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for grep -q '^[0-9][0-9]*$' "$work/display" || fail "the virtual X server did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
}

screenshot() { xwd -root -silent | convert xwd:- "ppm:$work/shot.ppm"; }
crosshair_at() { screenshot && "$check" crosshair "$1" "$2" "$work/shot.ppm"; }
game_gone() { ! kill -0 "$game_pid" 2>/dev/null; }
key() { xdotool key --delay 50 "$@"; }
# The game's window, once it shows (looked up at each use: an OpenGL renderer makes it anew).
game_window() { xdotool search --onlyvisible --name '^Quendra$' | head -1 | grep .; }

# Two shots half a second apart (a.ppm, b.ppm; of the game's window with "window"): the frames
# run when they differ, a picture stands still when they are the same and not black.
two_shots() {
  for shot in a b; do
    [ "$shot" = a ] || sleep 0.5
    if [ "${1:-}" = window ]; then xwd -id "$(game_window)" -silent; else xwd -root -silent; fi |
      convert xwd:- "ppm:$work/$shot.ppm" || return 1
  done
}
frames_run() { two_shots "$@" && ! cmp -s "$work/a.ppm" "$work/b.ppm"; }
stands_still() {
  two_shots "$@" && cmp -s "$work/a.ppm" "$work/b.ppm" &&
    [ "$(convert "$work/b.ppm" -format '%[max]' info:)" != 0 ]
}

# Starts another program's window (xclock) and gives it the focus.
other_window() {
  command -v xclock >/dev/null || fail "xclock is missing (x11-apps)"
  xclock &
  clock_pid=$!
  wait_for xdotool search --onlyvisible --class xclock windowfocus --sync ||
    fail "xclock did not take the focus"
}

# Writes the menu as the scripted platform draws it, with no best score yet, to $work/menu.bmp.
dump_menu() {
  mkdir -p "$work/replay"
  printf 'wait 1\nframe\ndump %s/menu.bmp\n' "$work" > "$work/menu.replay"
  (cd "$work/replay" && "$1" "$work/menu.replay" >/dev/null) || fail "quendra-replay failed"
}

# Waits for the game to end and expects exit code 0; $1 says what ended it.
expect_exit_0() {
  limit=20
  wait_for game_gone || fail "the game did not end ($1)"
  wait "$game_pid"
  code=$?
  game_pid=""
  [ "$code" -eq 0 ] || { cat "$work/game.log"; fail "exit code $code, not 0 ($1)"; }
}
leave_game() { key Down Down Return; expect_exit_0 "Down, Down, Enter"; }
