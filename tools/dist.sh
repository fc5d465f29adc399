#!/usr/bin/env bash
# Builds the release and packs it for Windows users:
#   dist/twinseek-<version>-win64.zip   with twinseek.exe (stripped) and README.txt
# The release is built in build-release/ (beside the test build, which it leaves alone).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWINSEEK_RELEASE_BUILD:-$root/build-release}
out=$root/dist

version=$(sed -n 's/^#define TWINSEEK_VERSION_TEXT "\(.*\)"$/\1/p' "$root/res/Version.h")
[[ -n $version ]] || { echo "dist: no TWINSEEK_VERSION_TEXT in res/Version.h" >&2; exit 1; }

if [[ ! -f $build/CMakeCache.txt ]]; then
    # -O2 as in the tested build; NDEBUG drops nothing the program relies on.
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
fi
cmake --build "$build" -j2 --target twinseek

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
x86_64-w64-mingw32-strip -o "$stage/twinseek.exe" "$build/twinseek.exe"
"$root/tools/check-imports.sh" "$stage/twinseek.exe"
# Notepad on older Windows wants CR LF; the byte-order mark tells it the text is UTF-8.
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/docs/README.txt"; } > "$stage/README.txt"

mkdir -p "$out"
zip_file=$out/twinseek-$version-win64.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -X "$zip_file" twinseek.exe README.txt)
"$root/tools/check-dist.sh" "$zip_file"
echo "dist: $zip_file"
