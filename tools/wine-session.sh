# Sourced by the scripts: a private Xvfb display and a Wine prefix for a run.
# wine_session_start <prefix directory> [<env file>]
#     starts a display and one wineserver kept alive for the prefix; sets DISPLAY and WINEPREFIX in
#     this shell, or, given an env file, writes them there instead, one NAME=value line each (a test
#     tree's session, which tools/wine-run reads) so that several sessions can run side by side
# wine_session_keep_desktop <exe>   runs <exe> for the whole session so the desktop stays up
# wine_test_sessions <tree>...      the two sessions of each Windows test tree, see below
# wine_session_stop                 ends every session started here (also run on exit)
# Every Wine program of a session runs through wine-run, which picks the loader and Wine's settings.
WINE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-run
WINESERVER=/usr/lib/wine/wineserver
WINE_SESSION_XVFBS=()
WINE_SESSION_PREFIXES=()
WINE_SESSION_FILES=()

wine_session_start() {
  local prefix=$1 env_file=${2:-} display=90
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_SESSION_XVFBS+=($!)
  WINE_SESSION_PREFIXES+=("$prefix")
  for _ in $(seq 50); do DISPLAY=":${display}" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  mkdir -p "$prefix"
  (
    export DISPLAY=":${display}" WINEPREFIX=$prefix
    "$WINESERVER" -p
    if [ ! -f "$prefix/system.reg" ]; then
      "$WINE" wineboot --init >/dev/null 2>&1
    fi
    # Xvfb has no window manager: unmanaged windows spare the 2 s wait for one at every show and hide.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  )
  if [ -n "$env_file" ]; then
    printf 'DISPLAY=:%s\nWINEPREFIX=%s\n' "$display" "$prefix" >"$env_file"
    WINE_SESSION_FILES+=("$env_file")
  else
    export DISPLAY=":${display}" WINEPREFIX=$prefix
  fi
  trap wine_session_stop EXIT
}

# Without a process holding it, the desktop closes after every test program and the next one pays
# for starting it again, which can take many seconds while the machine is busy.
wine_session_keep_desktop() {
  "$WINE" "$1" >/dev/null 2>&1 &
}

wine_session_stop() {
  local prefix pid file
  for prefix in "${WINE_SESSION_PREFIXES[@]}"; do WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null || true; done
  for pid in "${WINE_SESSION_XVFBS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for file in "${WINE_SESSION_FILES[@]}"; do rm -f "$file"; done
  WINE_SESSION_XVFBS=()
  WINE_SESSION_PREFIXES=()
  WINE_SESSION_FILES=()
}

# Two sessions a test tree: one for the cases of the test programs (<tree>/wine-session.env), one for
# the end-to-end runs (<tree>/wine-session-screen.env), each with its desktop kept up. Each starts from
# a copy of the prefix that the loader check made, unused since, which is quicker than making one anew;
# the two-monitor test copies it too (TESSALINE_PREFIX_TEMPLATE). A tree whose loader failed the check
# gets none.
wine_test_sessions() {
  local tree session prefix
  export TESSALINE_PREFIX_TEMPLATE
  TESSALINE_PREFIX_TEMPLATE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/loader-check-prefix
  for tree in "$@"; do
    tree=$(cd "$tree" && pwd)
    [ -f "$tree/wine-unavailable.txt" ] && continue
    for session in "" screen; do
      prefix=$tree/wineprefix${session:+-$session}
      rm -rf "$prefix" "$prefix-monitors"
      cp -a "$TESSALINE_PREFIX_TEMPLATE" "$prefix"
      wine_session_start "$prefix" "$tree/wine-session${session:+-$session}.env"
      TESSALINE_SESSION=$session wine_session_keep_desktop "$tree/tests/desktop_keeper.exe"
    done
  done
}
