#!/bin/sh
# wine-env.sh PROGRAM [ARG...]: runs it under Wine on an Xvfb of its own, in English, quiet, without
# Mono or Gecko, in a prefix of the build folder (made once, locked), with no crash dialog, Wine's
# desktop in one X window (no late X focus events close menus) and the recording browser as default.
set -eu
[ -n "${TARSEL_E2E_XVFB:-}" ] || TARSEL_E2E_XVFB=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
dir='@CMAKE_CURRENT_BINARY_DIR@' scratch='@CMAKE_BINARY_DIR@/e2e-scratch'
export TARSEL_SOAK_ROUNDS="${TARSEL_SOAK_ROUNDS:-25}" WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8 LANGUAGE= WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
exec 9>"$dir/wine.lock" && flock 9
printf '%s\n' REGEDIT4 '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:0' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' \
    '"Desktop"="Default"' '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '[HKEY_CLASSES_ROOT\HTTP\DefaultIcon]' \
    '@="C:\\WINDOWS\\SYSTEM\\url.dll,0"' '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Internet Settings]' '[-HKEY_CURRENT_USER\Software\Wine\AppDefaults\tarsel.exe]' '[HKEY_CURRENT_USER\RemoteAccess]' '"InternetProfile"="My ISP"' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE]' '@="@E2E_SCRATCH@\\rec browser.exe"' >"$dir/tarsel.reg"
[ -e "$WINEPREFIX/tarsel-ready" ] || { echo "wine-env.sh: preparing the Wine prefix $WINEPREFIX (log: $dir/prepare.log)" >&2
    { wineserver -k || true; rm -rf "$WINEPREFIX"; } 9>&- 2>/dev/null
    { wineboot --init && wineserver -w && touch "$WINEPREFIX/tarsel-ready"; } 9>&- >"$dir/prepare.log" 2>&1; }
wine reg import "$dir/tarsel.reg" 9>&- >/dev/null 2>&1
rm -rf "$scratch" && mkdir -p "$scratch" && cp '@CMAKE_BINARY_DIR@/tarsel_e2e.exe' "$scratch/rec browser.exe"
cd "$scratch" && status=0 && wine "$@" 9>&- || status=$?
{ wineserver -k && wineserver -w; } 9>&- 2>/dev/null || true; exit $status
