#!/usr/bin/env bash
# The Wine side of the test rig: a private Wine prefix and X display kept in
# the build tree, never the user's ~/.wine or screen.
#
#   wine-rig.sh start BUILD_DIR [KEEPER] start Xvfb and wineserver, make the prefix;
#                                        with KEEPER (desktop_keeper.exe), keep
#                                        the Wine desktop up until the stop
#   wine-rig.sh stop BUILD_DIR           stop both (safe to call twice)
#   wine-rig.sh run BUILD_DIR EXE ARGS   run a Windows program in the rig
#   wine-rig.sh env BUILD_DIR            print the environment, for a shell
set -u

command=${1:?usage: wine-rig.sh start|stop|run|env BUILD_DIR ...}
build=$(cd "${2:?build directory}" && pwd)
shift 2
rig=$build/wine-rig
state=$rig/state

export WINEPREFIX=$rig/prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no menu entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

load_state() {
    [ -f "$state" ] || { echo "wine-rig: not started ($state missing)" >&2; exit 1; }
    # shellcheck disable=SC1090
    . "$state"
    export DISPLAY
}

free_display() {
    local n
    for n in $(seq 91 199); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

start() {
    mkdir -p "$rig"
    if [ -f "$state" ]; then
        . "$state"
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "wine-rig: already running on display $DISPLAY"
            return 0
        fi
    fi
    local n
    n=$(free_display) || { echo "wine-rig: no free X display" >&2; exit 1; }
    # Every background process gets its own output files: a test runner
    # waits for the pipes it handed out to close.
    # Without auto-repeat: a key pressed by a test on a busy machine, whose
    # release comes late, must not type itself into later tests' dialogs.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -r >"$rig/xvfb.log" 2>&1 </dev/null &
    local xvfb=$!
    local tries=0
    until [ -e "/tmp/.X11-unix/X$n" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 $xvfb 2>/dev/null; then
            echo "wine-rig: Xvfb did not start, see $rig/xvfb.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    printf 'DISPLAY=:%s\nXVFB_PID=%s\n' "$n" "$xvfb" >"$state"
    export DISPLAY=:$n

    local fresh=0
    [ -f "$WINEPREFIX/system.reg" ] || fresh=1
    wineserver -p >"$rig/wineserver.log" 2>&1 </dev/null
    # wineboot also starts the prefix's background services (explorer,
    # services, plugplay): started here, they hold the log files rather than
    # the output pipes of the first test that would otherwise start them.
    wineboot $([ $fresh -eq 1 ] && echo -i) >"$rig/wineboot.log" 2>&1 </dev/null || {
        echo "wine-rig: wineboot failed, see $rig/wineboot.log" >&2
        exit 1
    }
    if [ $fresh -eq 1 ]; then
        # Without a window manager Wine waits 2 s whenever a captioned window
        # is hidden or destroyed, unless it manages the windows itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >>"$rig/wineboot.log" 2>&1 </dev/null
        # A crash goes to stderr and ends the process, instead of a modal
        # dialog that keeps it alive.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >>"$rig/wineboot.log" 2>&1 </dev/null
    fi
    wine_fonts
    small_disk
    compile_locales
    [ -n "$keeper" ] && keep_desktop
    echo "wine-rig: display $DISPLAY, prefix $WINEPREFIX"
}

# Wine closes its desktop a second after the last program on it ends, and
# a test that starts while it comes up again or goes away waits for a
# window that is slow to come or lands on another desktop. The keeper stays
# on the desktop from here to the stop (tests/rig/desktop_keeper.cpp).
keep_desktop() {
    local log=$rig/keeper.log
    : >"$log"
    wine "$keeper" >"$log" 2>&1 </dev/null &
    local waited=0
    until grep -q '^desktop up' "$log" 2>/dev/null; do
        waited=$((waited + 1))
        if [ $waited -gt 600 ]; then
            echo "wine-rig: the desktop did not come up in 60 s, see $log" >&2
            exit 1
        fi
        sleep 0.1
    done
}

# Wine takes a process's ANSI and OEM code pages from its locale, and the
# bytes of Unix file names from the locale's character set. Debian ships
# only C.UTF-8 compiled, so the UTF-8 locales that tests run programs under
# (a Western, a Russian and a Ukrainian system) are compiled once into the
# build tree:
#   LOCPATH=BUILD_DIR/wine-locales LC_ALL=ru_RU.UTF-8 wine-rig.sh run ...
compile_locales() {
    local locales=$build/wine-locales locale
    mkdir -p "$locales"
    for locale in en_US ru_RU uk_UA; do
        [ -d "$locales/$locale.UTF-8" ] ||
            localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" >>"$rig/locales.log" 2>&1 ||
            echo "wine-rig: cannot compile the locale $locale.UTF-8, see $rig/locales.log" >&2
    done
}

# Wine's own fonts (the fonts-wine package), in the prefix's Fonts folder:
# Debian's Wine looks for them elsewhere and, without them, draws the caption
# buttons and scroll arrows with letters instead of Marlett's symbols and
# the dialogs in a font of the host's.
wine_fonts() {
    local fonts=/usr/share/wine/fonts folder=$WINEPREFIX/drive_c/windows/Fonts font
    [ -d "$fonts" ] && [ -d "$folder" ] || return 0
    for font in "$fonts"/*; do
        [ -e "$folder/${font##*/}" ] || ln -s "$font" "$folder/"
    done
}

# Drive T: is a 512 KiB disk of its own, for the tests of a full disk. It
# needs a tmpfs mount, which only root may make (and not in every
# container); without it there is no T: and those tests say they skip.
small_disk() {
    local disk=$rig/small-disk
    mkdir -p "$disk"
    if ! mountpoint -q "$disk"; then
        mount -t tmpfs -o size=512k tarvo-small-disk "$disk" >/dev/null 2>&1 </dev/null || true
    fi
    if mountpoint -q "$disk"; then
        ln -sfn "$disk" "$WINEPREFIX/dosdevices/t:"
    else
        rm -f "$WINEPREFIX/dosdevices/t:"
    fi
}

stop() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 </dev/null || true
    fi
    if mountpoint -q "$rig/small-disk" 2>/dev/null; then
        umount "$rig/small-disk" 2>/dev/null || true
    fi
    if [ -f "$state" ]; then
        . "$state"
        kill "$XVFB_PID" 2>/dev/null || true
        rm -f "$state"
    fi
}

case $command in
start)
    keeper=${1:-}
    start
    ;;
stop) stop ;;
run)
    load_state
    exec wine "$@" </dev/null
    ;;
env)
    load_state
    printf 'export WINEPREFIX=%q WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=%q DISPLAY=%q\n' \
        "$WINEPREFIX" "$WINEDLLOVERRIDES" "$DISPLAY"
    ;;
*)
    echo "usage: wine-rig.sh start|stop|run|env BUILD_DIR ..." >&2
    exit 2
    ;;
esac
