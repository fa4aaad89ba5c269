#!/usr/bin/env bash
# Times the window's marker check of a 1,000-box document over a tree of about 500 MB
# (/usr/include and the Python library, copied twice, as goto-search.sh builds it), with a warm
# cache: the search alone, and from opening the document to the states on its canvas.
#
# Usage: benchmarks/marker-check.sh [BENCHMARK]
#   BENCHMARK  the marker_check_benchmark program (default: build/bin/marker_check_benchmark)
# The tree is built in a temporary folder under ${TMPDIR:-/tmp} and removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/bin/marker_check_benchmark}
[ -x "$program" ] || { echo "marker-check: no program at $program (build first)" >&2; exit 2; }

tree=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-check-bench.XXXXXX")
trap 'rm -rf "$tree"' EXIT

source benchmarks/source-tree.sh
copy_source_tree "$tree"
echo "tree: $(du -sh "$tree" | cut -f1) in $(find "$tree" -type f | wc -l) files"

PATHWICKS_CHECK_TREE="$tree" "$program"
