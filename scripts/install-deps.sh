#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, only when some are
# missing (apt-get update first, as a fresh machine needs), then fetches the
# SQLite sources the Windows build compiles in (scripts/fetch-sqlite.sh).
set -euo pipefail
packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils xdotool imagemagick python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm fetches SQLite's sources; any npm will do, Debian's where there is none.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
"$(dirname "$0")/fetch-sqlite.sh"
