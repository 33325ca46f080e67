#!/usr/bin/env bash
# Escape and the close box end the launcher like "exit": status 0, the first two trace lines, no
# "Trace stopped.".
source "$(dirname "$0")/launcher-common.bash"

for way in escape close-box; do
  start_show
  launcher=$(wait_window "^$launcher_title\$")
  sleep 0.3
  case $way in
    escape) press Escape ;;
    close-box) close_box "$launcher" ;;
  esac
  wait_exit 10
  [[ "$exit_status" == 0 ]] || fail "$way: exit status $exit_status"
  expect_line "INFO (trace): Trace started"
  expect_line "INFO (trace): Enabled quit on trace level: 1"
  expect_line not "INFO (trace): Trace stopped."
done
echo "PASS"
