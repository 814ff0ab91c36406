#!/bin/sh
# Installs the Debian packages that building, running and testing Quendra need, when missing.
# As root it installs them with apt-get; otherwise it says which are missing and how to get them.
set -eu

build="cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev zlib1g-dev"
packaging="dpkg-dev"
tests="libgtest-dev xvfb xauth xdotool x11-apps imagemagick libxfixes-dev desktop-file-utils
  appstream man-db lintian strace"
fuzz="clang libclang-rt-14-dev"  # libFuzzer and the sanitizer runtimes for clang (make fuzz)
# The browser version and its tests (npm comes from Debian only where there is none yet).
web="emscripten chromium nodejs"
command -v npm >/dev/null 2>&1 || web="$web npm"
case "${1:-all}" in
  build) wanted="$build" ;;
  package) wanted="$build $packaging" ;;
  fuzz) wanted="$build $fuzz" ;;
  web) wanted="$web $build" ;;
  *) wanted="$build $packaging $tests $fuzz" ;;
esac

missing=""
for package in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $package" ;;
  esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
else
  echo "These Debian packages are missing:$missing" >&2
  echo "Install them with:  sudo apt-get install$missing" >&2
  exit 1
fi
