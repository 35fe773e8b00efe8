#!/usr/bin/env bash
# Builds the three configurations and runs every test: natively, and under wine64 on a private display.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps

for preset in native win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

. tools/wine-session.sh
rm -rf build/win64/wineprefix
wine_session_start "$PWD/build/win64/wineprefix"
wine_session_keep_desktop build/win64/tests/desktop_keeper.exe

# One ctest run over both trees, so a single summary closes the output.
printf 'subdirs("native" "win64")\n' > build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure -j2 "$@"
