#!/bin/sh
# Runs a program of the end-to-end tests under Wine (wine-env.sh PROGRAM [ARG...]) on an Xvfb of
# its own, in English, without debug output or Mono and Gecko installers, in the tests' own prefix
# in the build folder. The prefix is made anew, under a lock and before any program runs, when
# the registry below changes: no crash dialog; Wine's own desktop in one X window (no window
# manager, and no late X focus events, which may close a menu); the recording browser, shared by
# the driver's scratch folders, as the default browser. Wine's processes end with the program.
set -eu
[ -n "${TARSEL_E2E_XVFB:-}" ] || TARSEL_E2E_XVFB=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
dir='@CMAKE_CURRENT_BINARY_DIR@' scratch='@CMAKE_BINARY_DIR@/e2e-scratch'
export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset LANGUAGE
exec 9>"$dir/wine.lock"
flock 9
printf '%s\n' 'REGEDIT4' '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' \
    '[HKEY_CLASSES_ROOT\HTTP\DefaultIcon]' '@="C:\\WINDOWS\\SYSTEM\\url.dll,0"' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE]' '@="@E2E_BROWSER@"' \
    '[HKEY_CURRENT_USER\RemoteAccess]' '"InternetProfile"="My ISP"' >"$dir/tarsel.reg"
if ! cmp -s "$dir/tarsel.reg" "$WINEPREFIX/tarsel.reg"; then
    echo "wine-env.sh: preparing the Wine prefix $WINEPREFIX" >&2
    wineserver -k 9>&- 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    { wineboot --init && wine reg import "$dir/tarsel.reg" && wineserver -w; } 9>&- >"$dir/prepare.log" 2>&1
    cp "$dir/tarsel.reg" "$WINEPREFIX/"
fi
rm -rf "$scratch" && mkdir -p "$scratch" && cp '@CMAKE_BINARY_DIR@/recbrowser.exe' "$scratch/rec browser.exe"
status=0
wine "$@" 9>&- || status=$?
wineserver -k 9>&- 2>/dev/null || true
wineserver -w 9>&-
exit $status
