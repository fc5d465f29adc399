#!/usr/bin/env bash
# Fails on an include that runs against the layers of the program:
#   win  <  settings  <  engine  <  view, fileops, update  <  app
# (res/ holds ids and messages, open to all). A folder includes itself and what lies
# below it; fileops may use the view's rows (IResults) and row helpers.
#   tools/check-layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [win]="win"
    [settings]="settings win"
    [engine]="engine settings win"
    [view]="view engine settings win res"
    [fileops]="fileops view engine settings win res"
    [update]="update engine settings win res"
    [app]="app view fileops update engine settings win res"
)

bad=0
for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [[ -f $file ]] || continue
        while read -r target; do
            layer=${target%%/*}
            [[ " ${allowed[$folder]} " == *" $layer "* ]] && continue
            echo "check-layers: $file includes $target, which lies above $folder/" >&2
            bad=1
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\/[^"]*\)".*/\1/p' "$file")
    done
done
[[ $bad -eq 0 ]] && echo "check-layers: every include follows the layers"
exit $bad
