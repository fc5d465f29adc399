#!/usr/bin/env bash
# Checks the build and test prerequisites: the Debian packages and the zh_CN.UTF-8
# locale (without it Wine silently keeps code pages 1252/437 instead of 936).
# As root it installs whatever is missing; otherwise it prints the command and fails.
# A quick no-op when everything is present.
set -euo pipefail

packages=(
    g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-x86-64
    cmake
    make
    googletest
    wine           # wine, wineboot, wineserver launchers
    wine64
    xvfb
    x11-utils      # xdpyinfo, xwininfo
    xdotool
    locales
    fonts-wqy-microhei
    fonts-wine     # Marlett, the symbols of the caption buttons
    imagemagick
    zip            # make dist
    unzip
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
    [[ $status == ii* ]] || missing+=("$p")
done

have_locale() { locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; }

if [[ ${#missing[@]} -eq 0 ]] && have_locale; then
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "setup: prerequisites are missing; as root run:" >&2
    echo "  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]:-locales}" \
         "&& (grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen) && locale-gen" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "setup: installing ${missing[*]}"
    # Refresh the package index only when it is empty (fresh machine) or stale.
    if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null ||
       ! apt-get install -y "${missing[@]}"; then
        apt-get update
        apt-get install -y "${missing[@]}"
    fi
fi

if ! have_locale; then
    echo "setup: generating the zh_CN.UTF-8 locale"
    grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
    have_locale || { echo "setup: the zh_CN.UTF-8 locale is still missing" >&2; exit 1; }
fi
