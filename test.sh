#!/usr/bin/env bash
# Builds the three configurations and runs every test: natively, the i686 build under Wine's 32-bit
# loader (under user-mode emulation where the kernel executes no 32-bit code) and the x86_64 build
# under wine64, each Windows build in sessions (display and prefix) of its own so that the suites run
# side by side.
set -euo pipefail
cd "$(dirname "$0")"
tools/build native win32 win64
# The release (build/release), which the win32 tree's Release tests check.
cmake --build --preset win32 --target package

# Two sessions a Windows tree: one for the cases of the test programs, one for the end-to-end runs.
. tools/wine-session.sh
wine_test_sessions build/win32 build/win64

# One ctest run over the three trees, so a single summary closes the output.
printf 'subdirs("native" "win32" "win64")\n' > build/CTestTestfile.cmake
status=0
ctest --test-dir build --output-on-failure -j4 "$@" || status=$?
# ctest shows no output of a skipped case: the reasons that the test programs gave.
awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3 } reason { print "Skipped " name ": " $0; reason = 0 }
     /: Skipped$/ { reason = 1 }' build/Testing/Temporary/LastTest.log 2>/dev/null || true
for preset in win32 win64; do
  if [ -f "build/$preset/wine-unavailable.txt" ]; then
    echo "The $preset cases that need Wine were skipped: $(cat "build/$preset/wine-unavailable.txt")"
  else
    loader="Wine's 32-bit loader"
    [ "$preset" = win64 ] && loader=wine64
    echo "The $preset cases ran under $loader, $(cat "build/$preset/wine-loader.txt")."
  fi
done
exit "$status"
