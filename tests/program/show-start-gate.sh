#!/usr/bin/env bash
# tavoFrameworkTest stops loading at the stage lights and keeps its last loading frame on the
# screen until Control is pressed; then it loads the rest and plays.
TAVO_PROGRAM="$(cd "$1" && pwd)/tavoFrameworkTest"
source "$(dirname "$0")/show-common.bash"

start_show
launch_windowed
wait_line "\(postprocessor\) - shader created!" 60
sleep 2
screenshot "$demo" "$work/waiting1.png"
sleep 2
screenshot "$demo" "$work/waiting2.png"
kill -0 "$show_pid" 2>/dev/null || fail "the show ended at the start gate"
! grep -qE "^after gclrt start: " "$work/stderr" || fail "the show started without Control"
! grep -qE "^line: 0, dots per line: " "$work/stderr" || fail "the prompter loaded before Control"
changed=$(picture_difference "$work/waiting1.png" "$work/waiting2.png")
[[ "$changed" == 0 ]] || fail "the loading frame changed while waiting ($changed pixels)"

press ctrl
wait_line "^after gclrt start: " 30
sleep 1
expect_frames_drawn
escape_ends_show
echo "PASS"
