#!/usr/bin/env bash
# SQLite's published amalgamation (sqlite3.c, sqlite3.h), which the Windows
# build compiles in to read the Amazon Games launcher's list. It is taken
# from the npm package better-sqlite3 at a pinned version, which ships the
# amalgamation unchanged, and checked against the hashes below; never
# committed. Kept in build/deps/sqlite (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
package=better-sqlite3@13.2.0   # SQLite 3.54.1
sha_c=75a4760a7b9727a4c4c877aec92eacf39e52a8f2921ce00bd33be6d3a8e8e254
sha_h=d6c84557261893439b341d2e6c35187ae3ea24fbfd843ad94616f72d89242b8c
dest=${1:-build/deps/sqlite}

matches() {
  [ -f "$1/sqlite3.c" ] && [ -f "$1/sqlite3.h" ] &&
    echo "$sha_c  $1/sqlite3.c" | sha256sum --check --status &&
    echo "$sha_h  $1/sqlite3.h" | sha256sum --check --status
}
matches "$dest" && exit 0

command -v npm >/dev/null || { echo "fetch-sqlite.sh: npm is needed (Debian: apt-get install npm)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Fetching SQLite from $package"
(cd "$work" && npm pack --silent "$package" >/dev/null)
tar -xzf "$work"/*.tgz -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
if ! matches "$work/package/deps/sqlite3"; then
  echo "fetch-sqlite.sh: the SQLite sources of $package do not have the expected SHA-256" >&2
  exit 1
fi
mkdir -p "$dest"
cp "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h" "$dest/"
