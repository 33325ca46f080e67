#!/usr/bin/env bash
# "launch" starts the show (tavoFrameworkTestFinal: no start gate), it plays with every file it
# needs, and Escape ends it with status 0 and the trace's start and stop lines.
source "$(dirname "$0")/show-common.bash"

start_show
launch_windowed
wait_line "^after gclrt start: " 60
sleep 1
expect_frames_drawn
if grep -E "^WARNING \((postprocessor|stagelight|promptalong)\): " "$work/stderr"; then
  fail "a file of the show is missing"
fi
escape_ends_show
echo "PASS"
