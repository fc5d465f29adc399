#!/usr/bin/env bash
# Runs the CTest suite under Wine on a private Xvfb display; extra arguments go to
# ctest, e.g.  tools/test.sh -R Digest   or   make test CTEST_ARGS="-R ui."
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
trap twinseek_stop EXIT

twinseek_xvfb_start
twinseek_prefix_init
ctest --test-dir "$TWINSEEK_BUILD" --output-on-failure --timeout 180 "$@"
