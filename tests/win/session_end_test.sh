#!/usr/bin/env bash
# The end of the Windows session as Wine gives it (a log-off, a shutdown):
# a window that has just added two games from a Steam library, and whose two
# files were then taken away, writes both again before Wine ends it.
#   session_end_test.sh <build folder>
# It ends the Wine session of the Windows tests; their server is started again.
set -euo pipefail
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../scripts/wine-env.sh"
zrcc_wine_env "$build"
fail() { echo "session end test: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill "${host:-}" 2>/dev/null || true; zrcc_wine_server_start; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# One manifest lists 200 depots (14 KiB and more), one names its folder in
# another letter case: both as Steam writes them.
apps=$work/SteamLibrary/steamapps
mkdir -p "$apps/common/Iron Coast" "$apps/common/Tidebreaker"
cp "$build/fixtures/plain.exe" "$apps/common/Iron Coast/IronCoast.exe"
cp "$build/fixtures/plain.exe" "$apps/common/Tidebreaker/Tidebreaker.exe"
{
  printf '"AppState"\n{\n\t"name"\t\t"Iron Coast 2077"\n\t"installdir"\t\t"Iron Coast"\n\t"InstalledDepots"\n\t{\n'
  for d in $(seq 1001 1200); do printf '\t\t"%s"\n\t\t{\n\t\t\t"manifest"\t\t"51234567890123"\n\t\t\t"size"\t\t"1073741824"\n\t\t}\n' "$d"; done
  printf '\t}\n}\n'
} >"$apps/appmanifest_2077.acf"
printf '"AppState"\n{\n\t"name"\t\t"Tidebreaker"\n\t"installdir"\t\t"tidebreaker"\n}\n' >"$apps/appmanifest_4242.acf"

# The window's host (a test program) adds the library, removes both files,
# says it is ready and waits for the session to end.
ZRCC_SESSION_FOLDER=$(winpath "$work") wine "$build/zrcc_ui_tests.exe" --gtest_filter=SessionEnd.* \
  >"$work/host.log" 2>&1 </dev/null &
host=$!
for _ in $(seq 600); do [ -e "$work/ready" ] || ! kill -0 "$host" 2>/dev/null && break; sleep 0.1; done
[ -e "$work/ready" ] || { cat "$work/host.log" >&2; fail "the window's host was not ready"; }

timeout 120 wineboot --end-session --shutdown >/dev/null 2>&1 </dev/null || fail "wineboot failed"
for _ in $(seq 300); do kill -0 "$host" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$host" 2>/dev/null || fail "the window outlived the session"
for game in 'Iron Coast' Tidebreaker; do
  grep -aqF "Path=$(winpath "$apps/common/$game")" "$work/data.ini" || fail "data.ini lacks $game"
done
# Their Steam names: one from a manifest past 10 KiB, one whose install
# folder is written in another letter case than the folder.
grep -aq 'Name=Iron Coast 2077' "$work/data.ini" || fail "no Steam name for Iron Coast"
grep -aq 'Name=Tidebreaker' "$work/data.ini" || fail "no Steam name for Tidebreaker"
iconv -f UTF-16 -t UTF-8 "$work/settings.ini" | grep -q '^\[Window\]' || fail "settings.ini was not written"
