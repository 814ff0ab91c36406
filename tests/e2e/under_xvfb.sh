#!/bin/sh
# Runs a test program ($@) against a virtual 640x480 X server of its own, for tests of the SDL
# backend that need a real display: the focus, the relative mouse, the icon as the desktop has it.
set -u
name=$(basename "$1")
. "$(dirname "$0")/xvfb.sh"
start_xvfb 640x480
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$@"
