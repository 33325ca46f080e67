#!/usr/bin/env bash
# The launcher appears centred with its title, class, controls and defaults; "exit" ends the
# program at once with status 0, after the first two trace lines and without "Trace stopped.".
source "$(dirname "$0")/launcher-common.bash"

start_show
launcher=$(wait_window "^$launcher_title\$")
[[ "$(window_class "$launcher")" == tavoSu ]] || fail "launcher class is '$(window_class "$launcher")'"
read -r x y width height < <(geometry "$launcher")
[[ "$width x $height" == "200 x 200" ]] || fail "launcher is $width x $height"
[[ "$x,$y" == "860,500" ]] || fail "launcher at $x,$y, not centred"

sleep 0.5
screenshot "$launcher" "$work/launcher.png"
at() { pixel "$work/launcher.png" "$1" "$2"; }
background=$(at 5 5)
# Each control fills its rectangle exactly (client pixels: left, top, width, height).
while read -r name left top w h; do
  right=$((left + w - 1)) bottom=$((top + h - 1)) middle=$((top + h / 2)) centre=$((left + w / 2))
  for corner in "$left $top" "$right $bottom"; do
    [[ "$(at $corner)" != "$background" ]] || fail "$name does not reach $corner"
  done
  for outside in "$((left - 1)) $middle" "$((right + 1)) $middle" "$centre $((top - 1))" "$centre $((bottom + 1))"; do
    [[ "$(at $outside)" == "$background" ]] || fail "$name reaches past its rectangle at $outside"
  done
done <<'CONTROLS'
launch 10 25 175 25
exit 10 60 175 25
list 10 95 175 20
fullscreen-box 10 150 20 20
CONTROLS
# The "fullscreen" box is ticked: its check mark is drawn inside the box.
convert "$work/launcher.png" -crop 18x18+11+151 +repage -format %c histogram:info: |
  grep -q "(66,150,250)" || fail "the fullscreen box is not ticked"

click "$launcher" 97 72
wait_exit 10
[[ "$exit_status" == 0 ]] || fail "exit status $exit_status"
expect_line "INFO (trace): Trace started"
expect_line "INFO (trace): Enabled quit on trace level: 1"
expect_line not "INFO (trace): Trace stopped."
echo "PASS"
