#!/usr/bin/env bash
# Opens the settings dialog under Wine on the current display, saves a screenshot and prints its path,
# then closes the dialog with Esc. Fails when the dialog never appears.
# usage: tools/settings-screenshot.sh [--crop] <program> <output.png> [<argument>...]
#   <program> is show_settings_dialog.exe, or tessaline.scr with the argument /c; the screenshot is of
#   the whole screen, or with --crop of the dialog's window alone.
set -u
here=$(cd "$(dirname "$0")" && pwd)
crop=no
if [ "${1:-}" = "--crop" ]; then
  crop=yes
  shift
fi
program=$1
shot=$2
shift 2

"$here/wine-run" "$program" "$@" </dev/null >/dev/null 2>&1 &
dialog=$!
finish() {
  kill "$dialog" 2>/dev/null
  wait "$dialog" 2>/dev/null
}

save_screen() {
  if [ "$crop" = no ]; then
    import -window root "$shot"
    return
  fi
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")" || return 1
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
}

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Settings$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "the settings dialog never appeared" >&2
  finish
  exit 1
fi
sleep 1  # let the controls paint
if ! save_screen; then
  finish
  exit 1
fi
# Without a window manager the key reaches the dialog only when it has the X focus.
xdotool windowfocus "$window" 2>/dev/null
xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$dialog" 2>/dev/null || break
  sleep 0.1
done
finish
echo "$shot"
