#!/usr/bin/env bash
# The release archive as cpack makes it in the build folder: one folder NAME holding the program,
# the README, the licence, a sample list and the four other files, with auto-dial and
# auto-disconnect off. Usage: check-release.sh CMAKE CPACK NAME
set -eu
rm -rf package
"$2" -B package >/dev/null
mkdir package/unpacked
cd package/unpacked
"$1" -E tar xf "../$3.zip"
[[ $(ls) == "$3" ]] || { echo "archive holds: $(ls)"; exit 1; }
cd "$3"
files=$(LC_ALL=C ls | tr '\n' ' ')
[[ $files == "LICENSE README.md dial.inf disc.inf tarsel.exe tarsel.inf tarsel.ini urls.txt " ]] ||
    { echo "folder holds: $files"; exit 1; }
for file in dial.inf disc.inf; do
    [[ $(head -n 1 $file) == $'0\r' ]] || { echo "$file: first line is not 0"; exit 1; }
done
