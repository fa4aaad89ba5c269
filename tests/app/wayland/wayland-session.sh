#!/usr/bin/env bash
# Runs the program natively on Wayland under weston's headless backend, with a runtime folder
# and socket of its own, on a copy of a sample document: it must start, open the document,
# save it and quit, and the save must keep the file's `window` entry (Wayland reports no
# window position). Exit 77 (skipped) without weston or Qt's Wayland platform.
# Usage: wayland-session.sh PROGRAM SAMPLE_FOLDER
set -euo pipefail
program=$1 sample=$2
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || qtpaths --plugin-dir 2>/dev/null || true)

command -v weston >/dev/null || { echo "weston is not installed: skipped"; exit 77; }
ls "$plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 ||
  { echo "Qt's Wayland platform is not installed: skipped"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-wayland.XXXXXX")
weston_pid=
cleanup() {
  if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export XDG_CACHE_HOME=$work/cache HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
socket=pathwicks-test-$$

weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --width=1920 \
  --height=1080 --log="$work/weston.log" &
weston_pid=$!
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || { echo "weston did not start:"; cat "$work/weston.log"; exit 1; }
  sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { echo "weston made no socket"; exit 1; }

cp -r "$sample" "$work/doc"
document=$(ls "$work"/doc/*.pathwicks | head -1)
window_entry() { grep -m1 '"window"' "$document"; }
before=$(window_entry)
inode=$(stat -c %i "$document")

status=0
QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=$socket PATHWICKS_SAVE_AFTER_FIRST_PAINT=1 \
  timeout 60 "$program" "$document" >"$work/out.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "the program ended with status $status:"; cat "$work/out.log"; exit 1
fi
# Saving replaces the file (a new inode) and leaves the window entry as it was.
[ "$(stat -c %i "$document")" != "$inode" ] || { echo "the document was not saved"; cat "$work/out.log"; exit 1; }
after=$(window_entry)
if [ "$before" != "$after" ]; then
  echo "saving changed the window entry: $before -> $after"; exit 1
fi
echo "started on Wayland, opened, saved and quit; window entry kept: $after"
