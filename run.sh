#!/usr/bin/env bash
# Builds the saver and runs it full screen under Wine: on $DISPLAY when there is one; otherwise on a
# private Xvfb display for a few seconds, after which the last line printed is the path of a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target tessaline_scr
done
# 32-bit code cannot run on this machine; the 64-bit build of the same sources stands in for it.
scr=$PWD/build/win64/tessaline.scr
seconds=${TESSALINE_RUN_SECONDS:-8}

. tools/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/run/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  exec "$WINE" "$scr" /s
fi

mkdir -p build/run
# Its own prefix: the session leaves windows unmanaged there, which suits only a display without a window manager.
wine_session_start "$PWD/build/run/xvfb-prefix"
"$WINE" "$scr" /s &
saver=$!
sleep "$seconds"
shot=$PWD/build/run/tessaline.png
import -window root "$shot"
kill "$saver" 2>/dev/null || true
wait "$saver" 2>/dev/null || true
echo "$shot"
