#!/usr/bin/env bash
# Starts ZandRivell Control Center. On Linux it builds the Windows program
# first when needed (installing what is missing) and runs it under Wine, with
# its settings.ini and data.ini beside it in build/windows. Without a display
# it runs on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/wine-env.sh
zrcc_ensure_display "$PWD/scripts/start.sh" "$@"
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target ZandRivellCC -j "$(nproc)" >/dev/null
# A prefix given in WINEPREFIX is used instead of the build's own.
zrcc_wine_env_prefix "${WINEPREFIX:-$PWD/build/windows/$ZRCC_WINE_PREFIX_NAME}"
zrcc_wine_boot
exec wine build/windows/ZandRivellCC.exe "$@"
