#!/bin/sh
# Runs a program of the end-to-end tests under Wine: in the tests' own prefix inside the build
# folder (made once, under a lock, before any program runs), on an Xvfb of its own (no window
# manager: windows sit exactly where the program puts them), without debug output, Mono or Gecko
# installers, in English. Wine's processes end with the program.   wine-env.sh PROGRAM [ARG...]
set -eu
[ -n "${TARSEL_E2E_XVFB:-}" ] ||
    TARSEL_E2E_XVFB=1 exec xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$0" "$@"
dir='@CMAKE_CURRENT_BINARY_DIR@'
export WINEPREFIX="$dir/prefix" WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset LANGUAGE
exec 9>"$dir/wine.lock"
flock 9
if [ ! -e "$WINEPREFIX/tarsel-ready" ]; then
    wineserver -k 9>&- 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    echo "wine-env.sh: preparing the Wine prefix $WINEPREFIX" >&2
    wineboot --init 9>&- >"$dir/wineboot.log" 2>&1
    wineserver -w 9>&-
    touch "$WINEPREFIX/tarsel-ready"
fi
rm -rf '@CMAKE_BINARY_DIR@/e2e-scratch'
status=0
wine "$@" 9>&- || status=$?
wineserver -k 9>&- 2>/dev/null || true
wineserver -w 9>&-
exit $status
