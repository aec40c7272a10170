#!/usr/bin/env bash
# Starts ZandRivell Control Center. On Linux it builds the Windows program
# first when needed (installing what is missing) and runs it under Wine, with
# its settings.ini and data.ini beside it in build/windows. Without a display
# it runs on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target ZandRivellCC -j "$(nproc)" >/dev/null
export WINEPREFIX="${WINEPREFIX:-$PWD/build/windows/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 </dev/null
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: running on a virtual one (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1920x1080x24" wine build/windows/ZandRivellCC.exe "$@"
fi
exec wine build/windows/ZandRivellCC.exe "$@"
