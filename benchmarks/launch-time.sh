#!/usr/bin/env bash
# Times Pathwicks from start to the first painted canvas of the sample document, against a bare
# Qt window's start to its first paint, in the same run, under one X server; and each from start
# to its exit, which adds the time either takes to quit.
# Usage: benchmarks/launch-time.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-20}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
# Both programs are started alike, straight from this shell; the bare window ignores this.
export PATHWICKS_QUIT_AFTER_FIRST_PAINT=1

# One start of the command: microseconds to the end of its first painting, which it tells as
# "painted at N" on its standard error, and to its exit.
time_one() {
    local start end painted
    start=${EPOCHREALTIME/./}
    painted=$("$@" 2>&1 >/dev/null | sed -n 's/^painted at //p')
    end=${EPOCHREALTIME/./}
    echo $(( ${painted:-end} - start )) $(( end - start ))
}

# The two programs in turn, a start of each a round, so that the machine's drift in speed falls
# on both alike.
run_all() {
    local bare_paint=0 bare_total=0 app_paint=0 app_total=0 paint total
    for _ in $(seq "$runs"); do
        read -r paint total < <(time_one "$build/bin/bare_window")
        bare_paint=$(( bare_paint + paint )) bare_total=$(( bare_total + total ))
        read -r paint total < <(time_one "$build/bin/pathwicks" examples/tour/tour.pathwicks)
        app_paint=$(( app_paint + paint )) app_total=$(( app_total + total ))
    done
    printf '                    to first paint   to exit (means)\n'
    printf 'bare Qt window:     %9d us   %7d us\n' $(( bare_paint / runs )) $(( bare_total / runs ))
    printf 'pathwicks (sample): %9d us   %7d us\n' $(( app_paint / runs )) $(( app_total / runs ))
    awk -v ap="$app_paint" -v bp="$bare_paint" -v at="$app_total" -v bt="$bare_total" 'BEGIN {
        printf "ratio to first paint: %.2f (target: at most 1.2)\n", ap / bp
        printf "ratio to exit:        %.2f\n", at / bt
    }'
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
