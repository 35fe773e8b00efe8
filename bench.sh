#!/usr/bin/env bash
# Measures what a frame costs and prints the Performance table of the README; takes about half an hour,
# most of it the real saver running until its field has settled.
# Results and raw data go to build/bench/results. Never part of the tests.
set -euo pipefail
cd "$(dirname "$0")"
tools/build bench win32 win64
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"

echo "== frame step natively (Mesa, headless)"
build/bench/bench/frame_bench_native --benchmark_out="$results/native.json" --benchmark_out_format=json

. tools/wine-session.sh
rm -rf build/bench/wineprefix
wine_session_start "$PWD/build/bench/wineprefix"
wine_session_keep_desktop build/win64/tests/desktop_keeper.exe
# The shipped i686 build is measured only where the processor runs it: emulated timings say nothing
# about the product, so under emulation, as where it cannot run at all, its column stays empty.
i686_not_measured() {
  if [ -f build/win32/wine-unavailable.txt ]; then
    cat build/win32/wine-unavailable.txt
  elif [ "$(cat build/win32/wine-loader.txt)" != natively ]; then
    echo "Wine's 32-bit loader runs $(cat build/win32/wine-loader.txt) here, and emulated timings say nothing about the product"
  fi
}
product=build/win32
[ -n "$(i686_not_measured)" ] && product=build/win64
for preset in win64 win32; do
  if [ "$preset" = win32 ] && [ -n "$(i686_not_measured)" ]; then
    echo "== win32 not measured: $(i686_not_measured)" | tee "$results/win32-not-measured.txt"
    continue
  fi
  echo "== frame step of the $preset build under Wine (real WGL window)"
  tools/wine-run "build/$preset/bench/frame_bench_wine.exe" >"$results/wine-$preset.jsonl" 2>"$results/wine-$preset.log"
  cat "$results/wine-$preset.jsonl"
done
if [ -z "$(i686_not_measured)" ]; then
  echo "== frame step of the i686 build for the Pentium Pro under Wine, beside the shipped 486 build"
  tools/wine-run build/win32/bench/frame_bench_wine_p6.exe >"$results/wine-win32-p6.jsonl" 2>"$results/wine-win32-p6.log"
  cat "$results/wine-win32-p6.jsonl"
fi

echo "== the real saver's frame rate and processor time, early and settled ($product; about half an hour)"
python3 tools/saver-cost.py "$product/tessaline.scr" default "$results/cost-default.log" --settled |
  tee "$results/cost-default.jsonl"
python3 tools/saver-cost.py "$product/tessaline.scr" 1000 "$results/cost-1000.log" | tee "$results/cost-1000.jsonl"
echo "$product" >"$results/cost-build.txt"
wine_session_stop

echo "== instructions of 1,000 frames (callgrind)"
LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$results/callgrind.out" \
  --toggle-collect='DrawSteadyFrame*' build/bench/bench/frame_run 2000 1000 >"$results/callgrind.log" 2>&1
callgrind_annotate "$results/callgrind.out" >"$results/callgrind.txt" 2>/dev/null
valgrind --tool=callgrind --callgrind-out-file="$results/callgrind-drawing-off.out" \
  --toggle-collect='DrawSteadyFrame*' build/bench/bench/frame_run_drawing_off 2000 1000 >"$results/callgrind.log" 2>&1
callgrind_annotate "$results/callgrind-drawing-off.out" >"$results/callgrind-drawing-off.txt" 2>/dev/null

echo "== two million frames with drawing off"
build/bench/bench/long_run_bench >"$results/long_run.json"

python3 tools/bench-table.py "$results" | tee "$results/table.md"
