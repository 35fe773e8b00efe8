#!/usr/bin/env bash
# Builds the saver and runs it full screen under Wine: on $DISPLAY when there is one; otherwise on a
# private Xvfb display for a few seconds, after which the last line printed is the path of a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
tools/build win32 win64 -- --target tessaline_scr
# The saver that ships is the i686 build, emulated where the kernel executes no 32-bit code. Only
# where Wine's 32-bit loader cannot run at all does the x86_64 build of the same sources stand in.
scr=$PWD/build/win32/tessaline.scr
if [ -f build/win32/wine-unavailable.txt ]; then
  echo "$(cat build/win32/wine-unavailable.txt); running the x86_64 build instead." >&2
  scr=$PWD/build/win64/tessaline.scr
fi
seconds=${TESSALINE_RUN_SECONDS:-8}

. tools/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/run/wineprefix}
  mkdir -p "$WINEPREFIX"
  exec tools/wine-run "$scr" /s
fi

mkdir -p build/run
# Its own prefix: the session leaves windows unmanaged there, which suits only a display without a window manager.
wine_session_start "$PWD/build/run/xvfb-prefix"
tools/wine-run "$scr" /s &
saver=$!
sleep "$seconds"
shot=$PWD/build/run/tessaline.png
import -window root "$shot"
kill "$saver" 2>/dev/null || true
wait "$saver" 2>/dev/null || true
echo "$shot"
