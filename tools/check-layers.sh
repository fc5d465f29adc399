#!/usr/bin/env bash
# Fails on an include that runs against the layers of the program:
#   win  <  settings  <  engine  <  view, fileops, update  <  app
# (res/ holds ids and messages, open to all). A folder includes itself and what lies
# below it; fileops may use the view's row helpers. The includes listed in KNOWN are
# the debt still to pay (the passes and the results view reaching the main window);
# a new one fails, and one paid off must leave the list.
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

KNOWN="
fileops/CompareFiles.cpp app/TwinseekDlg.h
fileops/DeleteFiles.cpp app/TwinseekDlg.h
fileops/ExportList.cpp app/TwinseekDlg.h
fileops/FilePass.cpp app/TwinseekDlg.h
fileops/MoveFiles.cpp app/TwinseekDlg.h
fileops/PassPainting.h app/TwinseekDlg.h
fileops/RemoveEmptyFolders.cpp app/TwinseekDlg.h
fileops/ResultWalk.cpp app/TwinseekDlg.h
update/UpdateCommands.cpp app/TwinseekDlg.h
view/ResultCommands.cpp app/TwinseekDlg.h
view/ResultRows.cpp app/TwinseekDlg.h
"

found=""
bad=0
for folder in "${!allowed[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
        [[ -f $file ]] || continue
        while read -r target; do
            layer=${target%%/*}
            [[ " ${allowed[$folder]} " == *" $layer "* ]] && continue
            found+="$file $target"$'\n'
            if ! grep -qxF "$file $target" <<<"$KNOWN"; then
                echo "check-layers: $file includes $target, which lies above $folder/" >&2
                bad=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\/[^"]*\)".*/\1/p' "$file")
    done
done
while read -r line; do
    [[ -z $line ]] && continue
    if ! grep -qxF "$line" <<<"$found"; then
        echo "check-layers: '$line' is no longer included: take it off the known list" >&2
        bad=1
    fi
done <<<"$KNOWN"
[[ $bad -eq 0 ]] && echo "check-layers: every include follows the layers ($(grep -c . <<<"$KNOWN") known exceptions)"
exit $bad
