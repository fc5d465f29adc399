# Wine environment for running and testing Twinseek. Source it from bash:
#   [TWINSEEK_BUILD=dir] source tools/wine-env.sh    (default: build/ of this checkout)
# It exports a prefix that lives in the build folder, so every checkout has its own
# prefix and wineserver, and defines:
#   twinseek_xvfb_start   start Xvfb on a random free display and export DISPLAY
#   twinseek_display      keep an existing DISPLAY, else twinseek_xvfb_start
#   twinseek_prefix_init  create the prefix once (wineboot -i), start its wineserver
#   twinseek_stop         end the prefix's wineserver and the Xvfb started here
# Callers normally do:  trap twinseek_stop EXIT

TWINSEEK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# No positional argument: a sourced file sees the caller's own arguments.
TWINSEEK_BUILD=$(realpath -m "${TWINSEEK_BUILD:-$TWINSEEK_ROOT/build}")
export TWINSEEK_ROOT TWINSEEK_BUILD

export WINEPREFIX=$TWINSEEK_BUILD/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# Never offer to install the .NET/HTML runtimes, never write desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Makes Wine's ANSI and OEM code pages 936, as on a simplified-Chinese system.
export LC_ALL=zh_CN.UTF-8

TWINSEEK_XVFB_PID=
TWINSEEK_XVFB_SCREEN=${TWINSEEK_XVFB_SCREEN:-1280x800x24}

twinseek_xvfb_start() {
    local attempt n pid i log
    for attempt in $(seq 1 20); do
        # Random display so several checkouts can test at the same time.
        n=$((100 + RANDOM % 900))
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        log=$TWINSEEK_BUILD/xvfb.log
        mkdir -p "$TWINSEEK_BUILD"
        Xvfb ":$n" -screen 0 "$TWINSEEK_XVFB_SCREEN" -nolisten tcp -noreset >"$log" 2>&1 &
        pid=$!
        for i in $(seq 1 100); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                TWINSEEK_XVFB_PID=$pid
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break   # lost a race for the number: try another
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "wine-env: could not start Xvfb (see $TWINSEEK_BUILD/xvfb.log)" >&2
    return 1
}

twinseek_display() {
    if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    twinseek_xvfb_start
}

# Debian's Wine does not load the fonts it ships (fonts-wine) from where they lie, and
# without Marlett it draws the caption buttons as the letters "0 1 r". The prefix's font
# folder, which Wine does read, gets a copy of that one font.
TWINSEEK_MARLETT=/usr/share/wine/fonts/marlett.ttf

twinseek_prefix_init() {
    mkdir -p "$TWINSEEK_BUILD"
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [[ ! -f $WINEPREFIX/.twinseek-ready || ! -f $fonts/marlett.ttf ]]; then
        (
            flock 9
            if [[ -f $WINEPREFIX/.twinseek-ready && ! -f $fonts/marlett.ttf ]]; then
                cp "$TWINSEEK_MARLETT" "$fonts/" || echo "wine-env: no $TWINSEEK_MARLETT" >&2
            fi
            if [[ ! -f $WINEPREFIX/.twinseek-ready ]]; then
                local started=$SECONDS
                echo "wine-env: creating the Wine prefix $WINEPREFIX"
                rm -rf "$WINEPREFIX"
                wineboot -i >/dev/null 2>&1
                # A crash prints a backtrace instead of waiting for someone to close a dialog.
                wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
                wineserver -w    # flushes the registry to disk
                cp "$TWINSEEK_MARLETT" "$fonts/" || echo "wine-env: no $TWINSEEK_MARLETT" >&2
                touch "$WINEPREFIX/.twinseek-ready"
                echo "wine-env: prefix ready after $((SECONDS - started)) s"
            fi
        ) 9>"$TWINSEEK_BUILD/wineprefix.lock" || return 1
    fi
    # One server for the whole run instead of one start-up per test process. Start its
    # background services here, with no terminal or pipe: if a test started them they
    # would inherit its output pipe and CTest would wait for them to close it.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    # The COM service starts on the first object a program creates (the XML DOM of the
    # update check) and would otherwise hold that test's pipe until the run ends.
    wine net start rpcss </dev/null >/dev/null 2>&1 || true
}

twinseek_stop() {
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [[ -n $TWINSEEK_XVFB_PID ]]; then
        kill "$TWINSEEK_XVFB_PID" 2>/dev/null || true
        wait "$TWINSEEK_XVFB_PID" 2>/dev/null || true
        TWINSEEK_XVFB_PID=
    fi
}
