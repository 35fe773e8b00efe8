#!/usr/bin/env bash
# Measures what a frame costs and prints the Performance table of the README; takes about 6 minutes.
# Results and raw data go to build/bench/results. Never part of the tests.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps

for preset in bench win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"

echo "== frame step natively (Mesa, headless)"
build/bench/bench/frame_bench_native --benchmark_out="$results/native.json" --benchmark_out_format=json

echo "== frame step under Wine (real WGL window)"
. tools/wine-session.sh
rm -rf build/bench/wineprefix
wine_session_start "$PWD/build/bench/wineprefix"
wine_session_keep_desktop build/win64/tests/desktop_keeper.exe
"$WINE" build/win64/bench/frame_bench_wine.exe >"$results/wine.jsonl" 2>"$results/wine.log"
cat "$results/wine.jsonl"

echo "== the real saver's frame rate"
tools/saver-fps.sh build/win64/tessaline.scr default "$results/fps-default.log" >"$results/fps-default.txt"
tools/saver-fps.sh build/win64/tessaline.scr 1000 "$results/fps-1000.log" >"$results/fps-1000.txt"
wine_session_stop

echo "== instructions of 1,000 frames (callgrind)"
LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$results/callgrind.out" \
  --toggle-collect='DrawSteadyFrame*' build/bench/bench/frame_run 2000 1000 >"$results/callgrind.log" 2>&1
callgrind_annotate "$results/callgrind.out" >"$results/callgrind.txt" 2>/dev/null

echo "== two million frames with drawing off"
build/bench/bench/long_run_bench >"$results/long_run.json"

python3 tools/bench-table.py "$results" | tee "$results/table.md"
