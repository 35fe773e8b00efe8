#!/usr/bin/env bash
# Frames per second the real saver achieves full screen: runs `tessaline.scr /s` with the given
# Tempo stored and counts its buffer swaps over 10 seconds, after the first second.
# Needs a running wine session (tools/wine-session.sh). Usage: saver-fps.sh <scr> <tempo|default> [<log>]
set -euo pipefail
scr=$1 tempo=$2 log=${3:-$(mktemp)}
WINE=$(cd "$(dirname "$0")" && pwd)/wine-run  # the loader the saver's build needs
if [ "$tempo" = default ]; then
  "$WINE" reg delete 'HKCU\Software\Tessaline' /v Tempo /f >/dev/null 2>&1 || true
else
  "$WINE" reg add 'HKCU\Software\Tessaline' /v Tempo /t REG_DWORD /d "$tempo" /f >/dev/null 2>&1
fi
WINEDEBUG=+timestamp,+wgl "$WINE" "$scr" /s >/dev/null 2>"$log" &
saver=$!
sleep 12.5
kill "$saver" 2>/dev/null || true
wait "$saver" 2>/dev/null || true
"$WINE" reg delete 'HKCU\Software\Tessaline' /v Tempo /f >/dev/null 2>&1 || true
python3 - "$log" <<'PY'
import re, sys
times = [float(m.group(1)) for m in re.finditer(r"^([0-9.]+):[0-9a-f]+:trace:wgl:\w*wglSwapBuffers", open(sys.argv[1]).read(), re.M)]
if not times:
    sys.exit("no frames were shown")
start = times[0] + 1.0
print(f"{sum(1 for t in times if start <= t < start + 10.0) / 10.0:.1f}")
PY
