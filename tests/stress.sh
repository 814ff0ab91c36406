#!/bin/sh
# The tests that start real programs (the game and the SDL window under Xvfb, the command line,
# the kill test, the traced best-score write, the browser tests in chromium), ROUNDS times in a
# row (20) while busy loops keep every core loaded: a test that passes only when the machine is
# idle fails here. Not part of make test; run it after `make test` has built everything:
#   sh tests/stress.sh [ROUNDS] [BUILD] [WEB_BUILD]
# Each failure's output is kept in $BUILD/stress/; the last line counts the failures.
set -u
rounds=${1:-20}
build=${2:-build}
web=${3:-build-web}
cd "$(dirname "$0")/.." || exit 1
logs="$build/stress"
rm -rf "$logs" && mkdir -p "$logs" || exit 1
[ -x "$build/quendra" ] && [ -f "$web/quendra.wasm" ] || {
  echo "stress: build first (make test)" >&2
  exit 2
}

load=""
for _ in $(seq "$(nproc)"); do
  sh -c 'while :; do :; done' &
  load="$load $!"
done
# shellcheck disable=SC2086
trap 'kill $load 2>/dev/null' EXIT INT TERM

failures=0
run() {  # NAME COMMAND...: runs it, keeping its output when it fails
  name=$1
  shift
  "$@" >"$logs/current.log" 2>&1
  code=$?
  if [ "$code" -eq 0 ]; then
    echo "round $round: $name passed"
  else
    failures=$((failures + 1))
    mv "$logs/current.log" "$logs/$name.$round.log"
    echo "round $round: $name FAILED (exit $code, $logs/$name.$round.log)"
  fi
}
for round in $(seq "$rounds"); do
  export QUENDRA_REQUIRE_XVFB=1
  run ctest sh -c "cd '$build' && ctest --output-on-failure -j 2 \
    -R '^(end_to_end|desktop|recording|sdl_window|command_line|durable_write|KillTest\..*)$'"
  run browser env NODE_PATH=/usr/share/nodejs \
    node tests/web/browser_test.mjs "$web" "$build/quendra-replay"
  run recording env NODE_PATH=/usr/share/nodejs \
    node tests/web/recording_test.mjs "$web" "$build/quendra-replay"
  run offline env NODE_PATH=/usr/share/nodejs node tests/web/offline_test.mjs "$web"
done
rm -f "$logs/current.log"
echo "stress: $failures failure(s) in $rounds rounds"
[ "$failures" -eq 0 ]
