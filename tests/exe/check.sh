#!/usr/bin/env bash
# What a Windows build ships, in its build folder. tarsel.exe: a GUI program of at most 28 KiB
# that exports DlgBoxProc, imports from the system's DLLs alone (no C runtime) and holds no PNG
# image (no Windows before Vista shows one). The release archive: one folder NAME holding the
# program, README.md, LICENSE, a sample urls.txt and the four other files, with dial-up off.
# Usage: check.sh OBJDUMP EXE CMAKE CPACK NAME
set -u
failed=0
fail() { echo "$*"; failed=1; }
dump=$("$1" -p "$2")
(($(stat -c %s "$2") <= 28672)) || fail "larger than 28,672 bytes"
grep -Eq '^Subsystem\s+0*2\s' <<<"$dump" || fail "not a GUI program"
grep -q '\] DlgBoxProc$' <<<"$dump" || fail "DlgBoxProc is not exported"
! grep 'DLL Name:' <<<"$dump" | grep -viE ': (kernel32|user32|advapi32|gdi32)\.dll$' ||
    fail "imports from other DLLs"
! LC_ALL=C grep -q $'\x89PNG' "$2" || fail "holds a PNG image"
rm -rf package && "$4" -B package >/dev/null && mkdir package/unpacked && cd package/unpacked &&
    "$3" -E tar xf "../$5.zip" || exit 1
files=$(ls -R | tr '\n' ' ')
expected=".: $5  ./$5: LICENSE README.md dial.inf disc.inf tarsel.exe tarsel.inf tarsel.ini urls.txt "
[[ $files == "$expected" ]] || fail "the archive holds $files"
[[ $(head -qn 1 "$5/dial.inf" "$5/disc.inf") == $'0\r\n0\r' ]] || fail "dial-up is on"
exit $failed
