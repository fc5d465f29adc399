#!/usr/bin/env bash
# Draws the program icon (two overlapping pages under a magnifier) into res/twinseek.ico.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#3b7dd8' -stroke '#1d4f99' -strokewidth 6 -draw 'roundrectangle 28,20 148,180 14,14' \
  -fill '#5cc46a' -stroke '#2d8a3c' -strokewidth 6 -draw 'roundrectangle 84,60 204,220 14,14' \
  -stroke '#ffffff' -strokewidth 8 -draw 'line 108,100 180,100' -draw 'line 108,130 180,130' -draw 'line 108,160 160,160' \
  -fill 'rgba(255,255,255,0.35)' -stroke '#333333' -strokewidth 14 -draw 'circle 150,150 150,200' \
  -stroke '#333333' -strokewidth 22 -draw 'line 186,186 236,236' \
  "$tmp/icon.png"
for s in 16 32 48; do convert "$tmp/icon.png" -resize ${s}x${s} "$tmp/i$s.png"; done
convert "$tmp/i16.png" "$tmp/i32.png" "$tmp/i48.png" res/twinseek.ico
