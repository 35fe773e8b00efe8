#!/usr/bin/env bash
# Builds the three configurations and runs every test: natively, the i686 build under Wine's 32-bit
# loader (under user-mode emulation where the kernel executes no 32-bit code) and the x86_64 build
# under wine64, each Windows build on a private display and prefix of its own so that the two suites
# run side by side.
set -euo pipefail
cd "$(dirname "$0")"
tools/build native win32 win64
# The release (build/release), which the win32 tree's Release tests check.
cmake --build --preset win32 --target package

. tools/wine-session.sh
for preset in win32 win64; do
  tree=$PWD/build/$preset
  [ -f "$tree/wine-unavailable.txt" ] && continue
  rm -rf "$tree/wineprefix"
  wine_session_start "$tree/wineprefix" "$tree/wine-session.env"
  wine_session_keep_desktop "$tree/tests/desktop_keeper.exe"
done

# One ctest run over the three trees, so a single summary closes the output.
printf 'subdirs("native" "win32" "win64")\n' > build/CTestTestfile.cmake
status=0
ctest --test-dir build --output-on-failure -j3 "$@" || status=$?
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
