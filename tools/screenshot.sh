#!/usr/bin/env bash
# Starts a program on a private Xvfb display, waits for a window whose title contains
# TITLE, saves a screenshot of the whole screen to OUT.png, then ends everything.
#   tools/screenshot.sh [--timeout SEC] [--delay SEC] [--desktop WxH] [--dpi N] TITLE OUT.png PROGRAM.exe [ARGS...]
#   tools/screenshot.sh ... TITLE OUT.png COMMAND [ARGS...]
# A .exe runs in Wine's virtual desktop (1280x800 unless --desktop), which draws window
# frames; any other command runs as given, with the Wine environment of this checkout.
# --dpi sets the prefix's DPI for this run (144 is 150 %) and 96 back afterwards.
set -euo pipefail

timeout=60
delay=1
desktop=1280x800
dpi=
while [[ $# -gt 0 ]]; do
    case $1 in
        --timeout) timeout=$2; shift 2 ;;
        --delay) delay=$2; shift 2 ;;
        --desktop) desktop=$2; shift 2 ;;
        --dpi) dpi=$2; shift 2 ;;
        *) break ;;
    esac
done
if [[ $# -lt 3 ]]; then
    sed -n '2,8p' "$0" >&2
    exit 2
fi
title=$1 out=$(realpath -m "$2")
shift 2

export TWINSEEK_XVFB_SCREEN=${desktop}x24
source "$(dirname "$0")/wine-env.sh"
dpi_key='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
app_pid=
cleanup() {
    if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
    if [[ -n $dpi ]]; then wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true; fi
    twinseek_stop
}
trap cleanup EXIT

twinseek_xvfb_start
twinseek_prefix_init
if [[ -n $dpi ]]; then wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1; fi

if [[ $1 == *.exe || $1 == *.EXE ]]; then
    exe=$(winepath -w "$(realpath "$1")")
    shift
    wine explorer /desktop=twinseek,"$desktop" "$exe" "$@" </dev/null &
else
    "$@" </dev/null &
fi
app_pid=$!

deadline=$((SECONDS + timeout))
until xdotool search --name "$title" >/dev/null 2>&1; do
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "screenshot: the program ended before a window titled '$title' appeared" >&2
        exit 1
    fi
    if ((SECONDS >= deadline)); then
        echo "screenshot: no window titled '$title' after ${timeout}s" >&2
        exit 1
    fi
    sleep 0.2
done
sleep "$delay"   # let the window finish painting
mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "$out"
