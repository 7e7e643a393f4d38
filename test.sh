#!/usr/bin/env bash
# Builds everything and runs every test: the format and static checks, the native unit tests and
# fuzzers under ASan and UBSan, the 64-bit Windows build's tests under Wine and the checks of the
# 32-bit build (never run: these machines run no 32-bit code). Installs what is missing.
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
    app common locations connection platform/windows || failed=1

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

step "Windows 32-bit build: tarsel.exe checked for Windows 95 and later"
if cmake --preset windows32 >build/windows32.log 2>&1 && cmake --build --preset windows32 >>build/windows32.log 2>&1; then
    ctest --preset windows32 || failed=1
else
    cat build/windows32.log; failed=1
fi

exit $failed
