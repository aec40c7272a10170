#!/usr/bin/env bash
# Every Windows executable of the build may import system DLLs only: the C
# and C++ runtimes are linked statically.
set -euo pipefail
dir=${1:-build/windows}
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|uxtheme|version|shcore|advapi32|msvcrt|ws2_32|bcrypt|psapi|api-ms-win-.*)\.dll$'
bad=0
for exe in "$dir"/*.exe; do
  [ -e "$exe" ] || continue
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$exe imports $dll, which is not a system DLL" >&2; bad=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
[ $bad -eq 0 ] && echo "imports: only system DLLs in $dir/*.exe"
exit $bad
