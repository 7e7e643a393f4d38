#!/usr/bin/env bash
# Builds tarsel.exe and starts it under Wine on a demo folder, in a Wine prefix of its own.
# With no display it runs under Xvfb, saves a screenshot of the main window and ends the program.
set -euo pipefail
cd "$(dirname "$0")"
top=$PWD
source tools/packages.sh
ensure_packages cmake ninja-build g++-mingw-w64-x86-64 wine wine64 xvfb xauth fonts-wine imagemagick \
    x11-utils

cmake --preset windows >/dev/null
cmake --build --preset windows --target tarsel >/dev/null
exe=$top/build/windows/tarsel.exe

# The demo folder, made once: the program keeps all its own state in these five files.
demo=$top/demo
if [ ! -d "$demo" ]; then
    mkdir -p "$demo"
    cp resources/sample/urls.txt resources/release/* "$demo/"
fi

# A Wine prefix of the project's own, never the user's ~/.wine.
export WINEPREFIX=$top/build/demo-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix $WINEPREFIX ..."
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # This Wine does not find its own fonts where Debian keeps them; without them the title
    # bars' buttons show letters instead of their glyphs.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
# "Go" starts the registered Internet Explorer path; Wine's winebrowser hands the address on to
# the host's default browser (xdg-open). The dial-up connection name keeps the start quiet.
wine reg add 'HKCR\HTTP\DefaultIcon' /ve /d 'C:\windows\system32\url.dll,0' /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE' /ve \
    /d 'C:\windows\system32\winebrowser.exe' /f >/dev/null 2>&1
wine reg add 'HKCU\RemoteAccess' /v InternetProfile /d 'Demo connection' /f >/dev/null 2>&1
wineserver -w

cd "$demo"
if [ -n "${DISPLAY:-}" ]; then
    echo "Starting Tarsel in $demo (close its window to end)."
    exec wine "$exe"
fi

# No display: run on a virtual one, take a picture of the main window and end the program.
shot=$top/build/main-window.png
screen=$top/build/desktop.png
rm -f "$shot" "$screen"
looks=$(mktemp -d)
# Xvfb takes a free display itself and writes its number once it accepts connections.
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 640x480x24 2>/dev/null; }
xvfb=$XVFB_PID
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$looks"' EXIT
if ! read -r -t 30 -u "${XVFB[0]}" number; then
    echo "run.sh: Xvfb did not start within 30 s." >&2
    exit 1
fi
export DISPLAY=:$number
wine explorer /desktop=tarsel,640x480 "$exe" >/dev/null 2>&1 &
desktop=$!

# Each top-level window inside Wine's desktop is an X window of its own, a child of the desktop's
# X window. Prints the main window's geometry (WIDTHxHEIGHT+X+Y on the screen) once it is shown.
main_window_geometry() {
    local id
    id=$(xwininfo -root -tree 2>/dev/null |
        awk -v name="\"Halvorn's Tarsel\": (" 'index($0, name) { print $1; exit }') || true
    [ -n "$id" ] || return 0
    xwininfo -id "$id" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF }
        /Height:/ { h = $NF }
        /Map State: IsViewable/ { shown = 1 }
        END { if (shown) print w "x" h "+" x "+" y }' || true
}

# The picture is taken when the window has shown and has kept its place and its pixels for
# STEADY looks in a row (about a second): it is then painted and standing where it opened.
limit=90
steady=5
deadline=$((SECONDS + limit))
last=
same=0
while [ "$same" -lt "$steady" ]; do
    if [ "$SECONDS" -ge "$deadline" ] || ! kill -0 "$desktop" 2>/dev/null; then
        import -window root "$screen" 2>/dev/null || true
        if kill -0 "$desktop" 2>/dev/null; then
            echo "run.sh: Tarsel's main window (\"Halvorn's Tarsel\") did not show and settle" \
                "within $limit s." >&2
        else
            echo "run.sh: Wine ended before Tarsel's main window (\"Halvorn's Tarsel\") showed." >&2
        fi
        [ -f "$screen" ] && echo "run.sh: the screen as it was then: $screen" >&2
        exit 1
    fi
    geometry=$(main_window_geometry)
    look=
    if [ -n "$geometry" ] &&
        import -window root -crop "$geometry" +repage "$looks/window.png" 2>/dev/null; then
        look="$geometry $(identify -format %# "$looks/window.png")"
    fi
    if [ -z "$look" ]; then
        same=0
    elif [ "$look" = "$last" ]; then
        same=$((same + 1))
    else
        same=1
    fi
    last=$look
    [ "$same" -ge "$steady" ] || sleep 0.2
done
mv "$looks/window.png" "$shot"
echo "No display: Tarsel ran under Xvfb; the main window ($geometry) is pictured in $shot"
