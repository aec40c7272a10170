#!/usr/bin/env bash
# The release archive as a Windows user gets it. scripts/package.sh makes it;
# then:
#  - it holds the two programs and the three texts, and SHA256SUMS matches it;
#  - unpacked into a folder whose path has a blank and a non-ASCII character,
#    ZandRivellCC.exe starts from there under Wine (from another working
#    folder), closes when asked, and leaves settings.ini and data.ini beside
#    itself and nothing else;
#  - the executable's version block and manifest carry the version that the
#    archive is named after;
#  - a second build of the same tree in a fresh build folder (and another time
#    zone) gives the same executables and the same archive, byte for byte.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

scripts/package.sh >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
name=ZandRivellCC-$version-win64
archive=$root/dist/$name.zip
fail() { echo "archive test: $*" >&2; exit 1; }

(cd dist && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match $archive"
entries=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$archive")
[ "$entries" = "LICENSE README.txt THIRD-PARTY-NOTICES.txt ZandRivellCC.exe zrcc-inspect.exe" ] ||
  fail "unexpected entries: $entries"

work=$(mktemp -d)
. scripts/wine-env.sh
zrcc_wine_env build/windows
display=${ZRCC_XVFB_DISPLAY:-$(sed -n 's/^ZRCC_XVFB_DISPLAY:STRING=//p' build/windows/CMakeCache.txt)}
cleanup() {
  zrcc_wine_session_stop "$display"
  rm -rf "$work"
}
trap cleanup EXIT
dest="$work/Jürgen Downloads/$name"
python3 -m zipfile -e "$archive" "$dest"

echo "== $name.zip: start and close ZandRivellCC.exe in '$dest'"
zrcc_wine_session_start "$display" || fail "no Wine session on display :$display"
(cd "$work" && exec wine "$dest/ZandRivellCC.exe") >/dev/null 2>&1 </dev/null &
pid=$!
for _ in $(seq 300); do
  xdotool search --name '^ZandRivell Control Center$' >/dev/null 2>&1 && break
  kill -0 "$pid" 2>/dev/null || fail "ZandRivellCC.exe ended before its window appeared"
  sleep 0.1
done
xdotool search --name '^ZandRivell Control Center$' >/dev/null 2>&1 || fail "no window after 30 s"
wine taskkill /im ZandRivellCC.exe >/dev/null 2>&1 </dev/null
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "ZandRivellCC.exe did not close when asked"; fi
wait "$pid" || fail "ZandRivellCC.exe ended with code $?"

files=$(cd "$dest" && ls -A | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "LICENSE README.txt THIRD-PARTY-NOTICES.txt ZandRivellCC.exe data.ini settings.ini zrcc-inspect.exe " ] ||
  fail "beside the program after closing: $files"
settings=$(iconv -f UTF-16 -t UTF-8 "$dest/settings.ini")
grep -q '^\[Window\]' <<<"$settings" || fail "settings.ini holds no window settings"
[ "$(head -c 3 "$dest/data.ini" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "data.ini is not a UTF-8 game list"

echo "== version $version in the version block and the manifest"
# Read back from the shipped executable by binutils' own resource reader.
IFS=. read -r major minor patch tweak <<<"$version"
four=$major.${minor:-0}.${patch:-0}.${tweak:-0}
resources=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$dest/ZandRivellCC.exe")
for expected in "FILEVERSION ${four//./, }" "PRODUCTVERSION ${four//./, }" "VALUE \"FileVersion\", \"$version\"" \
    "VALUE \"ProductVersion\", \"$version\"" "name=\"\"ZandRivell.ControlCenter\"\" version=\"\"$four\"\""; do
  grep -qF "$expected" <<<"$resources" || fail "ZandRivellCC.exe's resources lack: $expected"
done

echo "== a second build in a fresh build folder gives the same bytes"
second=build/release-check
rm -rf "$second"
cmake --preset windows -B "$second" -DZRCC_BUILD_TESTS=OFF -DZRCC_DIST_DIR="$root/$second/dist" >/dev/null
# Made in another time zone too: the entries' time must not depend on it.
TZ=Pacific/Kiritimati cmake --build "$second" --target package -j "$(nproc)" >/dev/null
for exe in ZandRivellCC.exe zrcc-inspect.exe; do
  cmp -s "$second/$exe" "$dest/$exe" || fail "$exe differs between two builds"
done
cmp -s "$second/dist/$name.zip" "$archive" || fail "$name.zip differs between two builds"
echo "archive test: passed"
