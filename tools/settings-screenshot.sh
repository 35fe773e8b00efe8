#!/usr/bin/env bash
# Opens the settings dialog under Wine on the current display, saves a screenshot of the screen and
# prints its path, then closes the dialog with Esc. Fails when the dialog never appears.
# usage: tools/settings-screenshot.sh <show_settings_dialog.exe> <output.png>
set -u
here=$(cd "$(dirname "$0")" && pwd)
program=$1
shot=$2

"$here/wine-run" "$program" </dev/null >/dev/null 2>&1 &
dialog=$!
finish() {
  kill "$dialog" 2>/dev/null
  wait "$dialog" 2>/dev/null
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
if ! import -window root "$shot"; then
  finish
  exit 1
fi
xdotool key Escape
for _ in $(seq 50); do
  kill -0 "$dialog" 2>/dev/null || break
  sleep 0.1
done
finish
echo "$shot"
