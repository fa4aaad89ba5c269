#!/usr/bin/env bash
# Under a headless compositor that offers xdg-activation (sway's, run as an unprivileged user:
# it will not run as root), a program started from the window must be given a token in
# XDG_ACTIVATION_TOKEN. Exit 77 (skipped) without sway or Qt's Wayland platform.
# Usage: activation-session.sh PROBE
set -euo pipefail
probe=$1
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || qtpaths --plugin-dir 2>/dev/null || true)

command -v sway >/dev/null || { echo "sway is not installed: skipped"; exit 77; }
ls "$plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 ||
  { echo "Qt's Wayland platform is not installed: skipped"; exit 77; }
as_compositor=()
if [ "$(id -u)" -eq 0 ]; then
  as_compositor=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-activation.XXXXXX")
sway_pid=
cleanup() {
  if [ -n "$sway_pid" ]; then kill "$sway_pid" 2>/dev/null || true; wait "$sway_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
mkdir -p "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
printf 'output HEADLESS-1 resolution 1280x800\n' > "$work/sway.conf"
chmod 644 "$work/sway.conf"
if [ ${#as_compositor[@]} -gt 0 ]; then chown nobody "$work/runtime" "$work/home"; fi

env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_compositor[@]}" \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
socket=
for _ in $(seq 200); do
  socket=$(find "$work/runtime" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
  [ -n "$socket" ] && break
  kill -0 "$sway_pid" 2>/dev/null || { echo "sway did not start:"; cat "$work/sway.log"; exit 1; }
  sleep 0.05
done
[ -n "$socket" ] || { echo "sway made no socket"; cat "$work/sway.log"; exit 1; }

runtime=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-activation-client.XXXXXX")
trap 'cleanup; rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
status=0
QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR=$runtime \
  timeout 60 "$probe" >"$work/probe.log" 2>&1 || status=$?
cat "$work/probe.log"
[ "$status" -eq 0 ] || { echo "no activation token reached the program (status $status)"; exit 1; }
