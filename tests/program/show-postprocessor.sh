#!/usr/bin/env bash
# The post-processor seen on the screen of the running show. The show runs from a folder whose
# resources/ links to the real pictures but holds a sync file of this test and no music (silence
# keeps the corner lights dark). The sync file plays four segments of 4 s: inverted black with red
# and blue removed (green), lit stage lights faded to black, faded to black and then to white
# (white), and the stage lights untouched.
source "$(dirname "$0")/show-common.bash"

repository=$(pwd)
mkdir -p "$work/show/resources/data"
if [[ -d "$repository/resources" ]]; then
  cp -rs "$repository/resources/." "$work/show/resources/"
fi
rm -f "$work/show/resources/data/demosynch.dat" "$work/show/resources/data/"*.mp3
"$build/tests/write-sync" "$work/show/resources/data/demosynch.dat" <<'KEYS' || fail "could not write the sync file"
0 1 Postprocessor: invert colors
3.9 1 Postprocessor: invert colors
4 0 Postprocessor: invert colors
0 1 Postprocessor: red color modulation
3.9 1 Postprocessor: red color modulation
4 0 Postprocessor: red color modulation
0 1 Postprocessor: blue color modulation
3.9 1 Postprocessor: blue color modulation
4 0 Postprocessor: blue color modulation
0 0 stagelight
3.9 0 stagelight
4 1 stagelight
0 1 change stagelight
0 1 rotate stagelight
0 0 Postprocessor: fade to black
3.9 0 Postprocessor: fade to black
4 1 Postprocessor: fade to black
11.9 1 Postprocessor: fade to black
12 0 Postprocessor: fade to black
0 0 Postprocessor: fade to white
7.9 0 Postprocessor: fade to white
8 1 Postprocessor: fade to white
11.9 1 Postprocessor: fade to white
12 0 Postprocessor: fade to white
KEYS

cd "$work/show"
start_show
launch_windowed
wait_line "^after gclrt start: " 60
started=$(date +%s.%N)

# Takes a screenshot when $1 seconds of show time have passed.
shot_at() {
  sleep "$(awk -v start="$started" -v at="$1" -v now="$(date +%s.%N)" 'BEGIN { d = start + at - now; print (d > 0 ? d : 0) }')"
  screenshot "$demo" "$work/$1.png"
}
shot_at 2
shot_at 6
shot_at 10
shot_at 14
press Escape
wait_exit 30
[[ "$exit_status" == 0 ]] || fail "exit status $exit_status"

expect_picture "$work/2.png" 0 255 0 "inverted black without red and blue"
expect_picture "$work/6.png" 0 0 0 "fade to black"
expect_picture "$work/10.png" 255 255 255 "fade to black, then to white"
read -r r0 g0 b0 r1 g1 b1 < <(client_colours "$work/14.png" 40 100 560 280)
(( r1 > 60 || g1 > 60 || b1 > 60 )) || fail "the stage lights do not show: brightest $r1,$g1,$b1"
(( r1 - r0 > 30 || g1 - g0 > 30 || b1 - b0 > 30 )) || fail "the stage lights show a flat picture: $r0,$g0,$b0 to $r1,$g1,$b1"
expect_line "INFO (trace): Trace stopped."
echo "PASS"
