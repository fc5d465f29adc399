#!/usr/bin/env bash
# Fails when a program imports a DLL that does not ship with Windows (a MinGW runtime
# DLL, say): the program must stay one file that runs with nothing beside it.
#   tools/check-imports.sh build/twinseek.exe
set -euo pipefail
exe=${1:?usage: check-imports.sh PROGRAM.exe}
allowed="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll user32.dll wininet.dll"
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | sort -u)
[[ -n $imports ]] || { echo "check-imports: no import table read from $exe" >&2; exit 1; }
bad=0
for dll in $imports; do
    if ! grep -qw -- "$dll" <<<"$allowed"; then
        echo "check-imports: $exe imports $dll, which does not ship with Windows" >&2
        bad=1
    fi
done
[[ $bad -eq 0 ]] && echo "check-imports: $(wc -w <<<"$imports") system DLLs, nothing else"
exit $bad
