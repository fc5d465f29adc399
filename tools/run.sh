#!/usr/bin/env bash
# Starts build/twinseek.exe under Wine in a 1280x800 virtual desktop. With a working
# DISPLAY it shows there and runs until closed; without one it runs on a private Xvfb,
# saves build/screenshot.png once the main window is up, and ends.
set -euo pipefail
here=$(dirname "$0")
source "$here/wine-env.sh"
exe=$TWINSEEK_BUILD/twinseek.exe

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    trap twinseek_stop EXIT
    twinseek_prefix_init
    wine explorer /desktop=twinseek,1280x800 "$(winepath -w "$exe")"
else
    exec "$here/screenshot.sh" "双生搜寻" "$TWINSEEK_BUILD/screenshot.png" "$exe"
fi
