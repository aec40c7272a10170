#!/usr/bin/env bash
# The loading benchmark in one command: builds the Windows preset (into
# build/bench-win), generates the synthetic library once (build/bench-library),
# times the system's own `du -sb` over it as the floor of any walk, times the
# size walks alone in one process and in two side by side, then runs
# bench/zrcc_bench.cpp under Wine and prints its figures.
#   scripts/bench.sh [rounds]          (default 5)
# Environment: ZRCC_BENCH_SEED, ZRCC_BENCH_GAMES, ZRCC_BENCH_FILES change the
# library; ZRCC_BENCH_DISPLAY is the Xvfb display used when DISPLAY is unset.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
build=build/bench-win
library=build/bench-library
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

echo "== building (windows preset) into $build"
quiet cmake --preset windows -B "$build"
quiet cmake --build "$build" -j "$(nproc)" --target zrcc_bench zrcc_fixtures

echo "== library"
python3 bench/make_library.py --fixtures "$build/fixtures" --out "$library" \
  --seed "${ZRCC_BENCH_SEED:-1}" --games "${ZRCC_BENCH_GAMES:-200}" --files "${ZRCC_BENCH_FILES:-300000}"

. scripts/wine-env.sh
zrcc_wine_env "$build"
cleanup() {
  zrcc_wine_stop
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
echo "  (machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'), $(wine --version))"
