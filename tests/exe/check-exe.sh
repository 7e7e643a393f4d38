#!/usr/bin/env bash
# A built tarsel.exe: a GUI program of at most 28 KiB that exports DlgBoxProc, imports from the
# system's own DLLs only (no C runtime DLL) and holds no PNG image (no Windows before Vista shows
# one). Usage: check-exe.sh OBJDUMP EXE
dump=$("$1" -p "$2") || exit 1
size=$(stat -c %s "$2")
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ')
echo "$2: $size bytes, imports from $dlls"
failed=0
fail() { echo "$*"; failed=1; }
((size <= 28672)) || fail "larger than 28,672 bytes"
grep -Eq '^Subsystem\s+0*2\s' <<<"$dump" || fail "not a GUI program"
grep -q '\] DlgBoxProc$' <<<"$dump" || fail "DlgBoxProc is not exported"
[[ -n $dlls ]] || fail "no imports found"
for dll in $dlls; do
    [[ $dll =~ ^(kernel32|user32|advapi32|gdi32|comctl32|shell32)\.dll$ ]] || fail "imports $dll"
done
! LC_ALL=C grep -q $'\x89PNG' "$2" || fail "holds a PNG image"
exit $failed
