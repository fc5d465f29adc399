#!/usr/bin/env bash
# The scaling test at 144 DPI (150 %): sets the prefix's DPI, runs the DpiScaling
# suite of the test program given, and sets 96 DPI back however it ends.
#   tools/dpi-test.sh path/to/twinseek_tests.exe
set -euo pipefail
key='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
restore() { wine reg add "$key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true; }
trap restore EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine "$1" --gtest_filter='DpiScaling*'
