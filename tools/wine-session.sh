# Sourced by the scripts: a private Xvfb display and a Wine prefix for one run.
# wine_session_start <prefix directory>   sets DISPLAY and WINEPREFIX, keeps one wineserver alive
# wine_session_keep_desktop <exe>        runs <exe> for the whole session so the desktop stays up
# wine_session_stop                       ends both (also run on exit)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

wine_session_start() {
  local prefix=$1
  local display=90
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_SESSION_XVFB=$!
  export DISPLAY=":${display}"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$prefix"
  "$WINESERVER" -p
  if [ ! -f "$prefix/system.reg" ]; then
    "$WINE" wineboot --init >/dev/null 2>&1
  fi
  # Xvfb has no window manager: unmanaged windows spare the 2 s wait for one at every show and hide.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  trap wine_session_stop EXIT
}

# Without a process holding it, the desktop closes after every test program and the next one pays
# for starting it again, which can take many seconds while the machine is busy.
wine_session_keep_desktop() {
  "$WINE" "$1" >/dev/null 2>&1 &
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
  [ -n "${WINE_SESSION_XVFB:-}" ] && kill "$WINE_SESSION_XVFB" 2>/dev/null || true
  WINE_SESSION_XVFB=
}
