#!/usr/bin/env bash
# The whole test suite, from a fresh Debian 12 machine: installs what is
# missing, builds the native, fuzzing and Windows builds, runs every test
# (natively under ASan/UBSan, the fuzz targets briefly, the Windows build
# under Wine, the release archive unpacked and started) and exits non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== layers (docs/architecture.md)"
python3 scripts/check-layers.py

echo "== native build (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

echo "== fuzz targets (briefly)"
scripts/fuzz.sh --seconds "${ZRCC_FUZZ_SECONDS:-10}"

echo "== Windows build, tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
scripts/check-imports.sh build/windows
ctest --preset windows

echo "== release archive"
tests/release/archive_test.sh
