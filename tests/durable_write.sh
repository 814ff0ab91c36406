#!/bin/sh
# A new best score is made to last before it replaces the old one (watched with strace): 4 bytes
# to a temporary file, synced after its last write, closed, renamed over QUENDRA.DAT, the folder
# synced. A crash or a power cut at any moment leaves the old score or the new, never an empty file.
set -u
replay=$1
fail() { echo "durable_write: $*" >&2; exit 1; }
command -v strace >/dev/null 2>&1 || fail "strace is missing (tools/install-deps.sh)"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1

# A game whose best (3) beats the empty file's 0 stores it when Escape ends it. A traced process
# can't be stopped by LeakSanitizer (make sanitize), so its leak check is off here.
printf 'key enter\nkey escape\n' > script
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -qq -o trace \
  -e trace=open,openat,creat,write,pwrite64,fsync,fdatasync,close,rename,renameat,renameat2 \
  "$replay" script > output || { cat trace output; fail "the run failed"; }
[ "$(od -An -tx1 QUENDRA.DAT | tr -d ' \n')" = 03000000 ] || fail "the best score was not stored"

# Each fd's file and state from its open to its close: bytes written since it was opened, whether
# it was synced after its last write. Quoted names are the first and second "..." of a line.
awk '
  { sub(/^[0-9]+ +/, ""); call = $0; sub(/\(.*/, "", call)
    split($0, quoted, "\""); first = quoted[2]; second = quoted[4]
    result = $0; sub(/.*= /, "", result)
    fd = $0; sub(/^[a-z0-9]+\(/, "", fd); sub(/[,)].*/, "", fd) }
  (call == "open" || call == "openat" || call == "creat") && result ~ /^[0-9]+$/ {
    name[result] = first; wrote[result] = 0; synced[result] = 0
    folder[result] = $0 ~ /O_DIRECTORY/ }
  (call == "write" || call == "pwrite64") && result ~ /^[0-9]+$/ {
    wrote[fd] += result; synced[fd] = 0 }
  (call == "fsync" || call == "fdatasync") && result == "0" {
    synced[fd] = 1; if (renamed && folder[fd]) folderSynced = 1 }
  call == "close" {
    closed[name[fd]] = 1; lastWrote[name[fd]] = wrote[fd]; lastSynced[name[fd]] = synced[fd] }
  call ~ /^rename/ && result == "0" && second == "QUENDRA.DAT" {
    old = first
    if (!closed[old]) { print "the temporary " old " was still open when renamed"; bad = 1 }
    else if (lastWrote[old] != 4) { print "the temporary got " lastWrote[old] " bytes"; bad = 1 }
    else if (!lastSynced[old]) {
      print "the temporary was not synced after its last write"; bad = 1 }
    renamed = 1 }
  END {
    if (!renamed) { print "nothing was renamed over QUENDRA.DAT"; bad = 1 }
    else if (!folderSynced) { print "the folder was not synced after the rename"; bad = 1 }
    exit bad }' trace > verdict || { cat trace; fail "$(cat verdict)"; }
