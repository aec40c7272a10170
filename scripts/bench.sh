#!/usr/bin/env bash
# The loading benchmark in one command: builds the Windows preset (into
# build/bench-win), generates the synthetic library once (build/bench-library),
# times the system's own `du -sb` over it as the floor of any walk, times the
# size walks alone in one process and in two side by side, then runs
# bench/zrcc_bench.cpp under Wine and prints its figures.
#   scripts/bench.sh [rounds]          (default 5)
# Then it runs the real program, ZandRivellCC.exe, in a shown window on a
# display with a window manager, through bench/zrcc_shown_bench.cpp: a whole
# load of 3,000 small games against the same walks without a window, a close
# during a load of 20,000, and the memory of a load of 100,000 (lists
# generated once into build/bench-shown).
# It also times Copy keeping aside a 3 GiB file of a game's while a probe
# asks the window for answers (ZRCC_BENCH_COPY_GIB sets the size).
# Environment: ZRCC_BENCH_SEED, ZRCC_BENCH_GAMES, ZRCC_BENCH_FILES change the
# library; ZRCC_BENCH_DISPLAY is the Xvfb display used when DISPLAY is unset;
# ZRCC_BENCH_SHOWN=full (the default), quick (only the 3,000 games) or none
# chooses the shown-window parts, ZRCC_BENCH_SHOWN_LIMIT (default 600) is the
# seconds any one of their waits may take.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
build=build/bench-win
library=build/bench-library
shown=build/bench-shown
shown_parts=${ZRCC_BENCH_SHOWN:-full}
shown_limit=${ZRCC_BENCH_SHOWN_LIMIT:-600}
case "$shown_parts" in
  full) shown_lists=3000,20000,100000 ;;
  quick) shown_lists=3000 ;;
  none) shown_lists="" ;;
  *) echo "bench.sh: ZRCC_BENCH_SHOWN is full, quick or none, not '$shown_parts'" >&2; exit 2 ;;
esac
# Whatever step fails says so, instead of the script ending without a word.
trap 'echo "bench.sh: failed (line $LINENO): $BASH_COMMAND" >&2' ERR
log=$(mktemp)
# Runs a step quietly; on failure shows what it printed.
quiet() {
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    return 1
  fi
}

scripts/install-deps.sh
# The shown window needs a window manager: without one, Wine waits about two
# seconds whenever a top-level window is hidden, and a close would time that.
if [ -n "$shown_lists" ] && ! command -v openbox >/dev/null 2>&1; then
  echo "Installing: openbox"
  export DEBIAN_FRONTEND=noninteractive
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  quiet $sudo apt-get install -y -q --no-install-recommends openbox ||
    { quiet $sudo apt-get update -q && quiet $sudo apt-get install -y -q --no-install-recommends openbox; }
fi

echo "== building (windows preset) into $build"
quiet cmake --preset windows -B "$build"
quiet cmake --build "$build" -j "$(nproc)" --target zrcc_bench zrcc_fixtures ZandRivellCC zrcc_shown_bench

echo "== library"
python3 bench/make_library.py --fixtures "$build/fixtures" --out "$library" \
  --seed "${ZRCC_BENCH_SEED:-1}" --games "${ZRCC_BENCH_GAMES:-200}" --files "${ZRCC_BENCH_FILES:-300000}"
if [ -n "$shown_lists" ]; then
  python3 bench/make_shown_lists.py --fixtures "$build/fixtures" --out "$shown" --lists "$shown_lists"
fi

. scripts/wine-env.sh
zrcc_wine_env "$build"
openbox_pid=""
cleanup() {
  zrcc_wine_stop
  if [ -n "$openbox_pid" ]; then kill "$openbox_pid" 2>/dev/null || true; fi
  # An X server found running is left to whoever started it.
  if [ -n "${ZRCC_XVFB_STARTED:-}" ]; then zrcc_display_stop "${DISPLAY#:}"; fi
  rm -f "$log"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  zrcc_display_start "${ZRCC_BENCH_DISPLAY:-96}"
fi
if ! zrcc_wine_booted; then
  echo "== new Wine prefix (a few seconds, once)"
  if ! zrcc_wine_boot "$log"; then
    cat "$log" >&2
    echo "bench.sh: the first boot of $WINEPREFIX failed" >&2
    exit 1
  fi
fi
zrcc_wine_server_start

echo "== du -sb over the library (warm cache): the floor of any walk on this machine"
python3 - "$library" <<'PY'
import subprocess, sys, time
subprocess.run(["du", "-sb", sys.argv[1]], stdout=subprocess.DEVNULL, check=True)  # warms the cache
times = []
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(["du", "-sb", sys.argv[1]], stdout=subprocess.DEVNULL, check=True)
    times.append(time.perf_counter() - start)
print("  du -sb: %.3f s (best of 3)" % min(times))
PY

echo "== size walks only, one process against two side by side (median of 3 each)"
# What running walks at once can gain here at all: the same games walked by
# one process, then split between two processes started together. Nothing
# else (no window, no rows, no version reads) is timed.
python3 - "$build/zrcc_bench.exe" "Z:$(realpath "$library" | tr / '\\')" <<'PY'
import statistics, subprocess, sys, time
bench, library = sys.argv[1], sys.argv[2]
def walk(kind, parts):
    start = time.time() + 3  # every process is running and waiting by then
    runs = [subprocess.Popen(["wine", bench, "--walk", library, kind, str(p), str(parts), "%.3f" % start],
                             stdout=subprocess.PIPE, text=True) for p in range(parts)]
    ends = []
    for run in runs:
        out, _ = run.communicate()
        if run.returncode != 0:
            sys.exit("walk failed: %s" % out)
        ends.append(float(out.split()[1]))
    return max(ends) - start
def median(kind, parts):
    return statistics.median(walk(kind, parts) for _ in range(3))
plain, fast, fast2 = median("plain", 1), median("fast", 1), median("fast", 2)
print("  plain walk, one process:            %7.3f s" % plain)
print("  program's walk, one process:        %7.3f s   (%.2f of plain)" % (fast, fast / plain))
print("  program's walk, two processes:      %7.3f s   (%.2f of plain)" % (fast2, fast2 / plain))
PY

echo "== zrcc_bench.exe under Wine ($rounds rounds, alternating a, b, c)"
wine "$build/zrcc_bench.exe" "Z:$(realpath "$library" | tr / '\\')" "$rounds"

# Copy keeping aside a large file of the game's (ZRCC_BENCH_COPY_GIB, 3 by
# default; the file is made once in build/bench-copy and kept).
mkdir -p build/bench-copy
wine "$build/zrcc_bench.exe" --copy-backup "Z:$(realpath build/bench-copy | tr / '\\')" "${ZRCC_BENCH_COPY_GIB:-3}"

echo "== what reading a game's own files adds to the refresh's walks ($rounds rounds)"
wine "$build/zrcc_bench.exe" --walk-facts "Z:$(realpath "$library" | tr / '\\')" "$rounds"
echo "== a header click: 3,000 rows sorted on the UI thread"
wine "$build/zrcc_bench.exe" --sort 3000 "$rounds"

# The path as the Windows programs see it.
wine_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }
shown_failed=""
# shown_part <mode> <list folder>: one run of the probe; a limit reached is
# printed by the probe and is a figure, anything else that failed ends the
# script with an error once every part has run.
shown_part() {
  local status=0
  rm -rf "$shown/scratch/$1"
  mkdir -p "$shown/scratch"
  wine "$build/zrcc_shown_bench.exe" "$1" "$(wine_path "$build/ZandRivellCC.exe")" "$(wine_path "$2")" \
    "$(wine_path "$shown/scratch/$1")" "$shown_limit" || status=$?
  case $status in
    0 | 3) ;;
    *) echo "  (the $1 part failed: status $status)"; shown_failed=1 ;;
  esac
}
if [ -n "$shown_lists" ]; then
  # A display of our own gets a window manager of our own; on a display that
  # was given (a desktop) the one there is used.
  if [ -n "${ZRCC_XVFB_STARTED:-}" ] || ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    openbox >/dev/null 2>&1 </dev/null &
    openbox_pid=$!
    for _ in $(seq 50); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
  fi
  echo "== the real program in a shown window (ZandRivellCC.exe; every wait at most $shown_limit s)"
  # Three loads, since one start of a shown program can differ from the next
  # by a second or more here.
  for round in 1 2 3; do
    echo "  round $round of 3:"
    shown_part load "$shown/small-3000"
  done
  if [ "$shown_parts" = full ]; then
    shown_part close "$shown/small-20000"
    shown_part memory "$shown/plain-100000"
  fi
fi
echo "  (machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'), $(wine --version))"
if [ -n "$shown_failed" ]; then
  echo "bench.sh: a shown-window part failed (above)" >&2
  exit 1
fi
