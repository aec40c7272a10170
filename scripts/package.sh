#!/usr/bin/env bash
# The release archive for Windows users in one command: builds the Windows
# preset in release mode and writes dist/ZandRivellCC-<version>-win64.zip
# (the two executables, README.txt, LICENSE, THIRD-PARTY-NOTICES.txt) and
# dist/SHA256SUMS. Two runs on one commit give the same bytes: the archive's
# time is SOURCE_DATE_EPOCH, or the commit's date when that is unset.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Outside a git checkout SOURCE_DATE_EPOCH must be given; the package step
# says so when it is missing.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH=$epoch
fi
cmake --preset windows -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build --preset windows --target ZandRivellCC zrcc-inspect -j "$(nproc)"
# What users get must run on a bare Windows: system DLLs only.
scripts/check-imports.sh build/windows
cmake --build --preset windows --target package
