#!/usr/bin/env bash
# Checks a release archive: exactly twinseek.exe and README.txt, the program stripped
# and importing only system DLLs, the text in UTF-8 with a byte-order mark and CR LF.
#   tools/check-dist.sh dist/twinseek-<version>-win64.zip
set -euo pipefail
zip_file=${1:?usage: check-dist.sh ARCHIVE.zip}
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "check-dist: $zip_file: $*" >&2; exit 1; }

[[ -f $zip_file ]] || fail "missing"
names=$(unzip -Z1 "$zip_file" | sort | tr '\n' ' ')
[[ $names == "README.txt twinseek.exe " ]] || fail "holds '$names', not README.txt and twinseek.exe"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip_file" -d "$work"
if x86_64-w64-mingw32-objdump -h "$work/twinseek.exe" | grep -q '\.debug_'; then
    fail "twinseek.exe still has debugging sections"
fi
if [[ -n $(x86_64-w64-mingw32-nm "$work/twinseek.exe" 2>/dev/null) ]]; then
    fail "twinseek.exe still has a symbol table"
fi
"$root/tools/check-imports.sh" "$work/twinseek.exe" >/dev/null

readme=$work/README.txt
[[ $(head -c 3 "$readme" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "README.txt has no UTF-8 byte-order mark"
tail -c +4 "$readme" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1 || fail "README.txt is not UTF-8"
lines=$(wc -l <"$readme")
crlf=$(grep -c $'\r$' "$readme" || true)
[[ $lines -gt 0 && $lines -eq $crlf ]] || fail "README.txt: $crlf of $lines lines end in CR LF"
echo "check-dist: $(basename "$zip_file"): twinseek.exe and README.txt"
