#!/usr/bin/env bash
# Builds everything and runs every test: the format and static checks, the native unit tests and
# fuzzers under ASan and UBSan, and the Windows build's tests under Wine. Installs what is missing.
set -uo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"

mkdir -p build
failed=0
step() { echo; echo "== $*"; }

step "Format (clang-format)"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find app common locations connection platform tests bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}" || failed=1

step "Static analysis of the product code (cppcheck)"
# Checked as the Windows build sees it, with cppcheck's knowledge of the Win32 API; the
# test host's stand-in is not part of the product.
cppcheck --quiet --enable=warning,style,performance,portability --std=c++17 --error-exitcode=1 \
    --suppress=missingIncludeSystem --inline-suppr -I . -D_WIN32 --library=windows \
    app common locations connection || failed=1

step "Native build: unit tests and fuzzers with ASan and UBSan"
if cmake --preset native >build/native.log 2>&1 && cmake --build --preset native >>build/native.log 2>&1; then
    ctest --preset native -j2 || failed=1
else
    cat build/native.log; failed=1
fi

step "Windows build: tarsel.exe and the end-to-end tests under Wine"
if cmake --preset windows >build/windows.log 2>&1 && cmake --build --preset windows >>build/windows.log 2>&1; then
    ctest --preset windows || failed=1
else
    cat build/windows.log; failed=1
fi

exit $failed
