#!/usr/bin/env bash
# What the program answers without a window needs no display, and a failed write to standard
# output is an error. Usage: without-display.sh PROGRAM
set -u
program=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failures=0
expect() { # STATUS WANTED, then the command
  local wanted=$1; shift
  "$@" >/tmp/pathwicks-nodisplay-out.$$ 2>/tmp/pathwicks-nodisplay-err.$$
  local status=$?
  if [ "$status" -ne "$wanted" ]; then
    echo "FAILED: $* exited $status, not $wanted: $(head -c 300 /tmp/pathwicks-nodisplay-err.$$)"
    failures=$((failures + 1))
  fi
}
expect 0 "$program" --help
grep -q '^usage: pathwicks' /tmp/pathwicks-nodisplay-out.$$ || { echo "FAILED: --help printed no usage"; failures=$((failures + 1)); }
expect 0 "$program" -h
expect 2 "$program" --bogus
grep -q '^usage: pathwicks' /tmp/pathwicks-nodisplay-err.$$ || { echo "FAILED: --bogus printed no usage on standard error"; failures=$((failures + 1)); }
expect 2 "$program" exprot walk.pathwicks out.svg
expect 1 sh -c '"$0" --version > /dev/full' "$program"
expect 1 sh -c '"$0" --help > /dev/full' "$program"
rm -f /tmp/pathwicks-nodisplay-out.$$ /tmp/pathwicks-nodisplay-err.$$
exit "$failures"
