#!/bin/sh
# Runs a program of the end-to-end tests under Wine in the rig's own environment: a Wine prefix
# inside the build folder, a display (an Xvfb of its own unless one was configured), no debug
# output and no Mono or Gecko installers. The build folder holds the configured copy.
#
#   wine-env.sh PROGRAM [ARGUMENT...]  run PROGRAM under Wine (the test driver's emulator)
#   wine-env.sh --prepare              make the display, the prefix and Wine's processes ready
#   wine-env.sh --stop                 end Wine's processes and the Xvfb started here
#
# Whatever is missing is prepared on first need, under a lock: the test discovery runs when ctest
# starts, before any fixture test, and needs the same prefix as the tests.
#
# Processes that outlive one program (the Wine server, Wine's services and desktop, Xvfb) are
# started here with their output going to a log file. Started from within a test they would
# inherit ctest's output pipe, and ctest would wait for them at the end of every test. A small
# program holds Wine's desktop open between the tests for the same reason: otherwise each test
# would start a desktop process of its own, which lingers a second after the test ends.
set -eu

state='@E2E_STATE_DIR@'
configured_display='@TARSEL_E2E_DISPLAY@'
keeper='$<TARGET_FILE:desktop_keeper>'

log="$state/wine.log"
export WINEPREFIX="$state/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
# Wine's language, and so the system's message texts, stay English whatever the host's.
export LC_ALL=C.UTF-8
unset LANGUAGE

# True when pid $1 is a live process (not a zombie: its command line is empty) whose command line
# holds $2.
running() {
    [ -n "$1" ] && tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline" | grep -q -F -- "$2"
}

# Waits up to $2 tenths of a second for file $1 to be non-empty.
wait_for_file() {
    tries=0
    while [ ! -s "$1" ] && [ "$tries" -lt "$2" ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    [ -s "$1" ]
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

# Starts Xvfb on the first free display from :93 on and records it.
start_xvfb() {
    if ! command -v Xvfb >/dev/null; then
        echo "wine-env.sh: Xvfb is not installed, and no display was configured" >&2
        exit 1
    fi
    number=93
    while [ "$number" -lt 200 ]; do
        if [ ! -e "/tmp/.X$number-lock" ] && [ ! -e "/tmp/.X11-unix/X$number" ]; then
            rm -f "$state/xvfb.ready"
            # In a script without job control setsid becomes Xvfb itself, so $! is Xvfb's pid.
            setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -displayfd 8 \
                8>"$state/xvfb.ready" </dev/null >>"$log" 2>&1 9>&- &
            pid=$!
            # Xvfb writes the display number once it takes connections; it ends at once when the
            # display is taken.
            tries=0
            while [ ! -s "$state/xvfb.ready" ] && running "$pid" '' && [ "$tries" -lt 100 ]; do
                sleep 0.1
                tries=$((tries + 1))
            done
            if [ -s "$state/xvfb.ready" ] && running "$pid" Xvfb; then
                echo "$pid" >"$state/xvfb.pid"
                echo ":$number" >"$state/display"
                return 0
            fi
            kill "$pid" 2>/dev/null || true
        fi
        number=$((number + 1))
    done
    echo "wine-env.sh: no display could be started (see $log)" >&2
    exit 1
}

ensure_display() {
    if [ -n "$configured_display" ]; then
        DISPLAY=$configured_display
    elif [ -s "$state/display" ] && running "$(cat "$state/xvfb.pid" 2>/dev/null)" Xvfb; then
        DISPLAY=$(cat "$state/display")
    else
        # Wine's processes of a vanished display are of no use.
        stop_wine
        start_xvfb
        DISPLAY=$(cat "$state/display")
    fi
    export DISPLAY
}

# Raise when the preparation below changes, so that existing prefixes are made anew.
prefix_version=1

ensure_prefix() {
    [ "$(cat "$WINEPREFIX/tarsel-e2e-ready" 2>/dev/null)" = "$prefix_version" ] && return 0
    stop_wine
    rm -rf "$WINEPREFIX"
    echo "wine-env.sh: preparing the Wine prefix $WINEPREFIX" >&2
    wineboot --init </dev/null >>"$log" 2>&1 9>&-
    # A crash ends the program instead of opening a dialog that would wait forever.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >>"$log" 2>&1 9>&-
    # Windows that no window manager manages: Wine draws their frames itself and places them
    # exactly, and hiding or destroying one does not wait two seconds for a window manager's
    # answer that never comes under a bare Xvfb.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >>"$log" 2>&1 9>&-
    wineserver -w
    echo "$prefix_version" >"$WINEPREFIX/tarsel-e2e-ready"
}

ensure_desktop() {
    running "$(cat "$state/keeper.pid" 2>/dev/null)" desktop_keeper && return 0
    stop_wine
    rm -f "$state/keeper.ready"
    ready=$(printf 'Z:%s' "$state/keeper.ready" | tr / '\\')
    setsid wine "$keeper" "$ready" </dev/null >>"$log" 2>&1 9>&- &
    echo $! >"$state/keeper.pid"
    if ! wait_for_file "$state/keeper.ready" 1200; then
        echo "wine-env.sh: Wine's desktop did not come up (see $log)" >&2
        exit 1
    fi
}

mkdir -p "$state"
exec 9>"$state/lock"
flock 9

case "${1:-}" in
--stop)
    stop_wine
    if running "$(cat "$state/xvfb.pid" 2>/dev/null)" Xvfb; then
        kill "$(cat "$state/xvfb.pid")"
    fi
    rm -f "$state/xvfb.pid" "$state/display" "$state/keeper.pid"
    ;;
--prepare | '')
    ensure_display
    ensure_prefix
    ensure_desktop
    ;;
*)
    case " $* " in
    *" --gtest_list_tests "*)
        # The test discovery only lists the scenarios: it needs neither display nor desktop, so
        # a ctest run that leaves the scenarios out leaves nothing running either.
        ensure_prefix
        ;;
    *)
        ensure_display
        ensure_prefix
        ensure_desktop
        ;;
    esac
    exec 9>&-
    exec wine "$@"
    ;;
esac
