#!/usr/bin/env bash
# Makes the pictures in docs/ from the real saver (the win64 build of tessaline.scr) under Wine on a
# private Xvfb display, with a fresh Wine prefix of its own under build/pictures/:
#   docs/spiral.gif    the spiral growing from a fresh full-screen start, sped up
#   docs/saver.png     the full screen once the spiral has grown to the top and bottom of the screen
#   docs/preview.png   the preview inside a small parent window, grown for as long as the full screen
#   docs/settings.png  the settings dialog
# With the argument "settings" it makes docs/settings.png alone, in a few seconds.
# The saver runs with Tempo 1000 (it asks for a frame every millisecond; under Wine here it draws about
# 100 a second) so that the spiral grows fast: it reaches the top and bottom after about two minutes.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
tools/build win64 -- --target tessaline_scr saver_probe desktop_keeper

scr=$PWD/build/win64/tessaline.scr
probe=$PWD/build/win64/tests/saver_probe.exe
keeper=$PWD/build/win64/tests/desktop_keeper.exe
work=$PWD/build/pictures
docs=$PWD/docs

screen_width=1024            # the session's Xvfb screen
screen_height=768
filled_percent=95            # the spiral counts as grown when it spans this much of the screen's height
frame_interval=4             # seconds between the frames of the animation
most_frames=40
grow_limit=600               # seconds the spiral may take to grow before the script gives up
gif_width=480                # 64 colours, undithered, keep the file near 1 MB; chosen in Lab so that rare
                             # hues survive among the greys
gif_frame_delay=25           # hundredths of a second each frame is shown: about 16 times faster than life
gif_last_delay=300           # the grown spiral stays a while before the loop starts again
preview_width=152            # the monitor picture of the display control panel
preview_height=112
preview_margin=6             # pixels of the parent's surroundings kept around the preview
background='rgb(223,223,223)'

log() { echo "make-pictures: $*"; }

# Height in pixels of the part of a picture that is not background.
spiral_height() {
  convert "$1" -bordercolor "$background" -border 1 -fuzz 6% -trim -format '%h' info: 2>/dev/null
}

seconds_since() {
  echo $(($(date +%s) - $1))
}

sleep_until() {
  local left=$(($1 - $(date +%s)))
  if [ "$left" -gt 0 ]; then sleep "$left"; fi
}

# Runs "tessaline.scr /s" from a fresh start and takes a frame every frame_interval seconds until the
# spiral spans filled_percent of the screen's height; the last frame becomes saver.png. Prints the
# seconds that took.
grow_full_screen() {
  local frames=$work/frames
  mkdir -p "$frames"
  xdotool mousemove "$((screen_width - 1))" "$((screen_height - 1))"
  "$WINE" "$scr" /s >"$work/saver.log" 2>&1 &
  local saver=$! start
  start=$(date +%s)
  local count=0 frame="" height=0 wanted=$((screen_height * filled_percent / 100))
  while [ "$height" -lt "$wanted" ]; do
    if [ "$(seconds_since "$start")" -ge "$grow_limit" ]; then
      log "the spiral spans only $height of $screen_height pixels after $grow_limit s" >&2
      kill "$saver"
      return 1
    fi
    count=$((count + 1))
    sleep_until "$((start + count * frame_interval))"
    frame=$(printf '%s/frame-%03d.png' "$frames" "$count")
    import -window root "$frame"
    height=$(spiral_height "$frame")
    if [ "$count" -gt "$most_frames" ]; then
      rm "$(printf '%s/frame-%03d.png' "$frames" "$((count - 1))")"  # only the grown spiral is kept
    fi
  done
  local grown
  grown=$(seconds_since "$start")
  cp "$frame" "$docs/saver.png"
  xdotool key Escape
  wait "$saver" || { log "the full-screen saver ended with $?" >&2; return 1; }
  log "full screen: grown after $grown s, $count frames" >&2
  echo "$grown"
}

make_gif() {
  local frames=("$work"/frames/frame-*.png)
  local last=${frames[${#frames[@]} - 1]}
  convert -loop 0 -delay "$gif_frame_delay" "${frames[@]:0:${#frames[@]}-1}" -delay "$gif_last_delay" "$last" \
    -resize "${gif_width}x" -quantize Lab +dither -colors 64 -layers Optimize "$docs/spiral.gif"
  log "animation: ${#frames[@]} frames" >&2
}

# Waits until the probe has printed (in Windows line ends) the parent's client area on screen; prints it as x y width height.
wait_for_client_line() {
  local output=$1
  for _ in $(seq 300); do
    if grep -q '^client ' "$output" 2>/dev/null; then
      grep '^client ' "$output" | head -1 | tr -d '\r' | cut -d' ' -f2-
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The X window that Wine renders the saver's preview child into. The parent belongs to another
# process, so Wine keeps that window under a hidden 1x1 window of the saver's own and redirected
# off-screen (X Composite), and never copies it into the parent: on screen the parent stays empty.
# Prints its id.
find_preview_gl_window() {
  local width=$1 height=$2
  xwininfo -root -tree | awk -v size=" ${width}x${height}+0+0 " 'index($0, size) { print $1; exit }'
}

# The preview inside a parent window of the control panel's size, left to grow for the given seconds.
# The picture is the screen around the parent with the saver's own rendering of the child put in
# place of the parent's client area, where Windows would show it.
make_preview() {
  local seconds=$1
  local output=$work/preview.log
  local hold=$(((seconds + 5) * 1000))
  "$WINE" "$probe" preview "$scr" "$preview_width" "$preview_height" "$hold" >"$output" 2>&1 &
  local run=$!
  local client
  if ! client=$(wait_for_client_line "$output"); then
    log "the preview never appeared: $(cat "$output")" >&2
    kill "$run"
    return 1
  fi
  local x y width height
  read -r x y width height <<<"$client"
  sleep "$seconds"
  local gl parent
  gl=$(find_preview_gl_window "$width" "$height")
  parent=$(xdotool search --name '^preview parent$' | head -1)
  if [ -z "$gl" ] || [ -z "$parent" ]; then
    log "no X window of the preview found (rendering ${gl:-none}, parent ${parent:-none})" >&2
    kill "$run"
    return 1
  fi
  # Under the hidden window only one pixel of it counts as on screen; inside the parent it is whole.
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$parent")"
  xdotool windowreparent "$gl" "$parent"
  xdotool windowmove "$gl" "$((x - X))" "$((y - Y))"
  local margin=$preview_margin
  import -window root -crop "$((width + 2 * margin))x$((height + 2 * margin))+$((x - margin))+$((y - margin))" \
    +repage "$work/preview-frame.png"
  import -window "$gl" "$work/preview-child.png"
  convert "$work/preview-frame.png" "$work/preview-child.png" -geometry "+${margin}+${margin}" -composite \
    "$docs/preview.png"
  if ! wait "$run"; then
    log "the preview probe failed: $(cat "$output")" >&2
    return 1
  fi
  log "preview: $(identify -format '%wx%h' "$work/preview-child.png") rendering grown for $seconds s" >&2
}

make_settings() {
  tools/settings-screenshot.sh --crop "$scr" "$docs/settings.png" /c >/dev/null
}

rm -rf "$work"
mkdir -p "$work" "$docs"
began=$(date +%s)
. tools/wine-session.sh
wine_session_start "$work/wineprefix"
wine_session_keep_desktop "$keeper"
"$WINE" reg add 'HKCU\Software\Tessaline' /v Tempo /t REG_DWORD /d 1000 /f >/dev/null 2>&1

if [ "${1:-}" = settings ]; then
  make_settings
  ls -l "$docs"/settings.png
  exit 0
fi
grown=$(grow_full_screen)
make_gif
make_preview "$grown"
make_settings
log "done in $(seconds_since "$began") s:"
ls -l "$docs"/saver.png "$docs"/preview.png "$docs"/settings.png "$docs"/spiral.gif
