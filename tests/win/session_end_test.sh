#!/usr/bin/env bash
# The end of the Windows session as Wine gives it (wineboot --end-session
# --shutdown, as a log-off or a restart for updates): a window that has just
# added two games from a Steam library, and whose list and settings files
# were then taken away, writes both again before Wine ends it.
#   session_end_test.sh <build folder>
# Run by CTest inside the Wine session of the Windows tests, which it ends:
# the session's persistent server is started again afterwards.
set -euo pipefail
build=$(cd "$1" && pwd)
. "$(dirname "$0")/../../scripts/wine-env.sh"
zrcc_wine_env "$build"
fail() { echo "session end test: $*" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  [ -n "${host:-}" ] && kill "$host" 2>/dev/null || true
  zrcc_wine_server_start
  rm -rf "$work"
}
trap cleanup EXIT

# Two games as Steam lays them out: one whose manifest lists many depots
# (14 KiB), one whose manifest names its folder in other letter case.
common=$work/SteamLibrary/steamapps/common
mkdir -p "$common/Iron Coast" "$common/Tidebreaker"
cp "$build/fixtures/plain.exe" "$common/Iron Coast/IronCoast.exe"
cp "$build/fixtures/plain.exe" "$common/Tidebreaker/Tidebreaker.exe"
{
  printf '"AppState"\n{\n\t"appid"\t\t"2077"\n\t"name"\t\t"Iron Coast 2077"\n\t"installdir"\t\t"Iron Coast"\n'
  printf '\t"InstalledDepots"\n\t{\n'
  for depot in $(seq 1001 1200); do
    printf '\t\t"%s"\n\t\t{\n\t\t\t"manifest"\t\t"51234567890123"\n\t\t\t"size"\t\t"1073741824"\n\t\t}\n' "$depot"
  done
  printf '\t}\n}\n'
} >"$work/SteamLibrary/steamapps/appmanifest_2077.acf"
[ "$(stat -c %s "$work/SteamLibrary/steamapps/appmanifest_2077.acf")" -gt 14336 ] || fail "manifest below 14 KiB"
printf '"AppState"\n{\n\t"appid"\t\t"4242"\n\t"name"\t\t"Tidebreaker"\n\t"installdir"\t\t"tidebreaker"\n}\n' \
  >"$work/SteamLibrary/steamapps/appmanifest_4242.acf"

# The window is hosted by a test program, whose folder picker is answered
# through the dialog seam; it adds the library, removes both files and waits.
ZRCC_SESSION_FOLDER="Z:$(printf '%s' "$work" | tr / '\\')" \
  wine "$build/zrcc_ui_tests.exe" --gtest_filter=SessionEnd.* >"$work/host.log" 2>&1 </dev/null &
host=$!
for _ in $(seq 600); do
  [ -e "$work/ready" ] && break
  kill -0 "$host" 2>/dev/null || { cat "$work/host.log" >&2; fail "the window's host ended before it was ready"; }
  sleep 0.1
done
[ -e "$work/ready" ] || fail "the window's host was not ready after 60 s"
[ ! -e "$work/data.ini" ] && [ ! -e "$work/settings.ini" ] || fail "the files were still there"

timeout 120 wineboot --end-session --shutdown >/dev/null 2>&1 </dev/null || fail "wineboot failed"
for _ in $(seq 300); do kill -0 "$host" 2>/dev/null || break; sleep 0.1; done
kill -0 "$host" 2>/dev/null && fail "the window's host outlived the session"
host=""

[ -e "$work/data.ini" ] || fail "no data.ini after the end of the session"
for game in 'Iron Coast' Tidebreaker; do
  grep -aqF "Path=Z:$(printf '%s' "$common/$game" | tr / '\\')" "$work/data.ini" || fail "data.ini lacks $game"
done
iconv -f UTF-16 -t UTF-8 "$work/settings.ini" | grep -q '^\[Window\]' || fail "settings.ini holds no window settings"
echo "session end test: both files written at the end of the session"
