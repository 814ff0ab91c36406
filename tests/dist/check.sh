#!/bin/sh
# Checks of what the desktop and the package get. Usage: check.sh WHAT ARGS..., WHAT being
#   desktop FILE | metainfo FILE | man FILE... | options PROGRAM MANPAGE
#   | deb CPACKCONFIG OUTDIR | lintian OUTDIR
# A missing checker skips the test (exit 77) on a developer's machine; under CI it fails.
set -u
fail() { echo "$what: $*" >&2; exit 1; }
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && continue
    [ -n "${CI:-}" ] && fail "$tool is missing (tools/install-deps.sh installs it)"
    echo "$what: skipped, $tool is missing"
    exit 77
  done
}
what=$1
shift
case "$what" in
desktop)
  need desktop-file-validate
  out=$(desktop-file-validate "$1" 2>&1) || fail "$out"
  [ -z "$out" ] || fail "$out" ;;
metainfo)
  need appstreamcli
  appstreamcli validate --no-net "$1" || fail "not valid" ;;
man)
  need man
  for page in "$@"; do
    err=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 \
      >/dev/null)
    [ -z "$err" ] || fail "$page: $err"
  done ;;
options)  # the man page names exactly the options that the program's --help names
  said=$("$1" --help | grep -o -e '--[a-z-]*' | sort -u)
  documented=$(grep -o -e '\\-\\-[a-z\\-]*' "$2" | sed 's/\\-/-/g' | sort -u)
  [ -n "$said" ] && [ "$said" = "$documented" ] ||
    fail "$2 documents '$(echo $documented)', $1 --help says '$(echo $said)'" ;;
deb)
  need cpack dpkg-deb dpkg-shlibdeps readelf
  rm -rf "$2" && mkdir -p "$2" || exit 1
  cpack --config "$1" -B "$2" >"$2/cpack.log" 2>&1 || { cat "$2/cpack.log"; fail "cpack failed"; }
  set -- "$2"/quendra_*.deb
  [ -f "$1" ] || fail "no .deb made"
  list=$(dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./|/|') || fail "cannot list $1"
  for path in /usr/games/quendra /usr/share/applications/quendra.desktop \
    /usr/share/metainfo/io.github.quendra.Quendra.metainfo.xml /usr/share/man/man6/quendra.6.gz \
    /usr/share/doc/quendra/copyright /usr/share/doc/quendra/changelog.gz \
    $(printf '/usr/share/icons/hicolor/%sx%s/apps/quendra.png ' 16 16 32 32 48 48 64 64 128 128 \
      256 256); do
    echo "$list" | grep -qx "$path" || fail "$path is missing"
  done
  ! echo "$list" | grep -e replay -e make-assets -e '/bin/' || fail "developer files in the package"
  dpkg-deb -f "$1" Depends | grep -q libsdl2-2.0-0 || fail "the dependencies were not worked out"
  # The menu starts what the entry names, with the icon it names (/usr/games is on PATH).
  entry=$(dpkg-deb --fsys-tarfile "$1" | tar -xOf - ./usr/share/applications/quendra.desktop)
  exec=$(echo "$entry" | sed -n 's/^Exec=\([^ ]*\).*/\1/p')
  icon=$(echo "$entry" | sed -n 's/^Icon=//p')
  echo "$list" | grep -qx "/usr/games/$exec" ||
    fail "the entry starts '$exec', which is not in /usr/games"
  echo "$list" | grep -qx "/usr/share/icons/hicolor/48x48/apps/$icon.png" || fail "no icon '$icon'"
  dpkg-deb --fsys-tarfile "$1" | tar -xOf - ./usr/games/quendra >"${1%.deb}.bin" ||
    fail "cannot unpack"
  ! readelf -S "${1%.deb}.bin" | grep -q -e '\.symtab' -e '\.debug' || fail "not stripped" ;;
lintian)
  need lintian
  out=$(lintian --fail-on error "$1"/quendra_*.deb 2>&1) || fail "$out"
  echo "$out" ;;
*) fail "unknown check" ;;
esac
