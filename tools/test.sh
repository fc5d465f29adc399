#!/usr/bin/env bash
# Runs the CTest suite under Wine on a private Xvfb display; extra arguments go to
# ctest, e.g.  tools/test.sh -R Digest   or   make test CTEST_ARGS="-R ui."
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

# A volume of 1 MiB for the tests of a target that runs out of room (as root only;
# those tests are skipped elsewhere).
small_volume=
cleanup() {
    twinseek_stop
    if [[ -n $small_volume ]]; then
        umount "$small_volume" 2>/dev/null || true
        rmdir "$small_volume" 2>/dev/null || true
    fi
}
trap cleanup EXIT
if [[ $(id -u) -eq 0 ]]; then
    small_volume=$(mktemp -d /tmp/twinseek-small.XXXXXX)
    if mount -t tmpfs -o size=1m tmpfs "$small_volume" 2>/dev/null; then
        export TWINSEEK_SMALL_VOLUME="Z:${small_volume//\//\\}"
    fi
fi

twinseek_xvfb_start
twinseek_prefix_init
ctest --test-dir "$TWINSEEK_BUILD" --output-on-failure --timeout 180 "$@"
