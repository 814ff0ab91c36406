#!/bin/sh
# Runs each fuzz target built in BUILD for SECONDS: the committed seeds of fuzz/corpus/NAME are
# read, what the fuzzer finds goes to BUILD/corpus/NAME (never into the committed seeds), a
# crashing input to BUILD/crash-NAME-*. Prints each target's last coverage line. Fails when a
# target finds a fault.
set -eu
build=${1:?usage: run.sh BUILD [SECONDS]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for target in script bitmap wave; do
  mkdir -p "$build/corpus/$target"
  log="$build/fuzz-$target.log"
  dict=""
  [ -f "$here/$target.dict" ] && dict="-dict=$here/$target.dict"
  if "$build/fuzz-$target" ${dict:+"$dict"} \
      -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$build/crash-$target-" \
      "$build/corpus/$target" "$here/corpus/$target" > "$log" 2>&1; then
    printf '%-7s %s\n' "$target" "$(grep -E '^#[0-9]+' "$log" | tail -1)"
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | tr '\n' ' '
    echo
  else
    echo "fuzz-$target found a fault:" >&2
    tail -40 "$log" >&2
    status=1
  fi
done
exit $status
