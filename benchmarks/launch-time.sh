#!/usr/bin/env bash
# Times Pathwicks from start to the first painted canvas of the sample document, against a bare
# Qt window's start to its first paint, in the same run, under one X server.
# Usage: benchmarks/launch-time.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-20}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
# Both programs are started alike, straight from this shell; the bare window ignores this.
export PATHWICKS_QUIT_AFTER_FIRST_PAINT=1

# Microseconds one start of the command takes.
time_one() {
    local start end
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null 2>&1
    end=${EPOCHREALTIME/./}
    echo $(( end - start ))
}

# The two programs in turn, a start of each a round, so that the machine's drift in speed falls
# on both alike.
run_all() {
    local bare_total=0 app_total=0 bare_best= app_best= ms
    for _ in $(seq "$runs"); do
        ms=$(time_one "$build/bin/bare_window")
        bare_total=$(( bare_total + ms ))
        if [ -z "$bare_best" ] || [ "$ms" -lt "$bare_best" ]; then bare_best=$ms; fi
        ms=$(time_one "$build/bin/pathwicks" examples/tour/tour.pathwicks)
        app_total=$(( app_total + ms ))
        if [ -z "$app_best" ] || [ "$ms" -lt "$app_best" ]; then app_best=$ms; fi
    done
    local bare_mean=$(( bare_total / runs )) app_mean=$(( app_total / runs ))
    printf 'bare Qt window:     mean %6d us   best %6d us\n' "$bare_mean" "$bare_best"
    printf 'pathwicks (sample): mean %6d us   best %6d us\n' "$app_mean" "$app_best"
    awk -v a="$app_mean" -v b="$bare_mean" 'BEGIN { printf "ratio (mean):       %.2f (target: at most 1.2)\n", a / b }'
}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$runs"
fi
# Settings and recovery copies of their own, kept across the runs: a copy some earlier session
# left would otherwise stop every start at the recovery question.
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
export XDG_CONFIG_HOME=$state/config XDG_STATE_HOME=$state/state
run_all
