#!/usr/bin/env bash
# Times a goto tool's search against ripgrep and grep on one large tree of source files, as
# whole processes with a warm cache. Prints the median of each and the ratios.
#
# Usage: benchmarks/goto-search.sh [TOOL] [RUNS]
#   TOOL  a <key>-goto program (default: build/lib/pathwicks/Contents/Resources/vscode-goto)
#   RUNS  timed runs of each program (default 7)
# The tree (about 500 MB: /usr/include and the Python library, copied twice) is built in a
# temporary folder under ${TMPDIR:-/tmp} and removed at the end. Set KEEP_TREE=1 to keep it.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=${1:-build/lib/pathwicks/Contents/Resources/vscode-goto}
runs=${2:-7}
[ -x "$tool" ] || { echo "goto-search: no tool at $tool (build first)" >&2; exit 2; }
command -v rg >/dev/null || { echo "goto-search: ripgrep (rg) is not installed" >&2; exit 2; }

tree=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-goto-bench.XXXXXX")
if [ "${KEEP_TREE:-0}" != 1 ]; then
  trap 'rm -rf "$tree"' EXIT
fi

sources=(/usr/include)
for python in /usr/lib/python3.*; do
  [ -d "$python" ] && sources+=("$python")
done
[ -d /usr/lib/python3 ] && sources+=(/usr/lib/python3)
for copy in 1 2; do
  mkdir -p "$tree/copy$copy"
  for source in "${sources[@]}"; do
    cp -a "$source" "$tree/copy$copy/$(echo "$source" | tr / _)"
  done
done

# The marker sits in the deepest folder of the second copy, so the whole tree is walked.
deepest=$(find "$tree/copy2" -type d -printf '%d %p\n' | sort -n | tail -1 | cut -d' ' -f2-)
id="pathwick-$(cat /proc/sys/kernel/random/uuid | tr a-f A-F)"
printf 'int planted;\n// %s Benchmark marker\n' "$id" > "$deepest/planted.c"

size=$(du -sh "$tree" | cut -f1)
files=$(find "$tree" -type f | wc -l)
echo "tree: $tree, $size in $files files; marker in $deepest/planted.c"

# Wall time of one run in milliseconds; the run must find the planted file.
time_ms() {
  local start end output
  start=$(date +%s%N)
  output=$("$@" 2>/dev/null || true)
  end=$(date +%s%N)
  case "$output" in *planted.c*) ;; *) echo "goto-search: '$*' missed the marker" >&2; exit 1 ;; esac
  echo $(( (end - start) / 1000000 ))
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

# Warm the page cache.
"$tool" --print "$tree" "$id" >/dev/null
rg -F -l -- "// $id" "$tree" >/dev/null || true
grep -rFl -- "// $id" "$tree" >/dev/null || true

# Interleaved, so that load from elsewhere on the machine falls on all three alike.
goto_times=() rg_times=() grep_times=()
for _ in $(seq "$runs"); do
  goto_times+=("$(time_ms "$tool" --print "$tree" "$id")")
  rg_times+=("$(time_ms rg -F -l -- "// $id" "$tree")")
  grep_times+=("$(time_ms grep -rFl -- "// $id" "$tree")")
done
goto_ms=$(median "${goto_times[@]}")
rg_ms=$(median "${rg_times[@]}")
grep_ms=$(median "${grep_times[@]}")

echo "goto runs (ms): ${goto_times[*]}"
echo "rg runs (ms):   ${rg_times[*]}"
echo "grep runs (ms): ${grep_times[*]}"
echo "median of $runs runs (ms): goto $goto_ms, rg $rg_ms, grep -rFl $grep_ms"
awk -v g="$goto_ms" -v r="$rg_ms" -v q="$grep_ms" 'BEGIN {
  printf "goto / rg = %.2f, goto / grep = %.2f (below 1: goto is faster)\n", g / r, g / q }'
