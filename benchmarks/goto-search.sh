#!/usr/bin/env bash
# Times a goto tool's search against ripgrep and grep on one large tree of source files, as
# whole processes with a warm page cache. The tree is a git work tree whose .gitignore ignores
# about a third of it, which the goto tool and ripgrep skip alike (grep reads everything). Times
# the first goto of an id (nothing remembered) and a repeated one (the file it remembered read
# first). Prints the median of each and the ratios.
#
# Usage: benchmarks/goto-search.sh [TOOL] [RUNS]
#   TOOL  a <key>-goto program (default: build/lib/pathwicks/Contents/Resources/vscode-goto)
#   RUNS  timed runs of each program (default 7)
# The tree (about 500 MB: /usr/include and the Python library, copied twice; ignored: the second
# copy's Python library and every c++/ and x86_64-linux-gnu/ folder) is built in a temporary
# folder under ${TMPDIR:-/tmp} and removed at the end. Set KEEP_TREE=1 to keep it, and
# TREE=<that folder> to time against it again instead of building another.
set -euo pipefail
cd "$(dirname "$0")/.."

tool=${1:-build/lib/pathwicks/Contents/Resources/vscode-goto}
runs=${2:-7}
[ -x "$tool" ] || { echo "goto-search: no tool at $tool (build first)" >&2; exit 2; }
command -v rg >/dev/null || { echo "goto-search: ripgrep (rg) is not installed" >&2; exit 2; }
command -v git >/dev/null || { echo "goto-search: git is not installed" >&2; exit 2; }

# The tools' memory of where they found markers, kept apart from the user's.
cache=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-goto-cache.XXXXXX")
export XDG_CACHE_HOME=$cache
trap 'rm -rf "$cache"' EXIT

if [ -n "${TREE:-}" ]; then
  tree=$TREE
  planted=$(find "$tree/copy2" -name planted.c -print -quit 2>/dev/null || true)
  [ -n "$planted" ] || { echo "goto-search: $tree is no tree this script kept" >&2; exit 2; }
  deepest=$(dirname "$planted")
  id=$(grep -o 'pathwick-[0-9A-F-]*' "$planted")
else
  tree=$(mktemp -d "${TMPDIR:-/tmp}/pathwicks-goto-bench.XXXXXX")
  [ "${KEEP_TREE:-0}" = 1 ] || trap 'rm -rf "$tree" "$cache"' EXIT
  git init -q "$tree"
  printf '%s\n' '/copy2/_usr_lib_python3*/' 'c++/' 'x86_64-linux-gnu/' > "$tree/.gitignore"

  source benchmarks/source-tree.sh
  copy_source_tree "$tree"

  # The marker sits in the deepest searched folder of the second copy, so the whole tree is
  # walked; a decoy in an ignored folder must never be reported.
  deepest=$(find "$tree/copy2/_usr_include" -type d -not -path '*/c++/*' \
    -not -path '*/x86_64-linux-gnu/*' -printf '%d %p\n' | sort -n | tail -1 | cut -d' ' -f2-)
  id="pathwick-$(cat /proc/sys/kernel/random/uuid | tr a-f A-F)"
  printf 'int planted;\n// %s Benchmark marker\n' "$id" > "$deepest/planted.c"
  ignored_folder=$(find "$tree/copy2" -maxdepth 1 -type d -name '_usr_lib_python3*' | head -1)
  printf '# %s decoy\n' "$id" > "$ignored_folder/decoy.py"
fi

size=$(du -sh "$tree" | cut -f1)
files=$(find "$tree" -type f | wc -l)
searched_bytes=$(cd "$tree" && git ls-files --others --exclude-standard -z | du -cb --files0-from=- | tail -1 | cut -f1)
total_bytes=$(du -sb --exclude=.git "$tree" | cut -f1)
echo "tree: $tree, $size in $files files; marker in $deepest/planted.c"
awk -v s="$searched_bytes" -v t="$total_bytes" 'BEGIN {
  printf "ignored by .gitignore: %.0f MB of %.0f MB (%.0f%%)\n", (t - s) / 1e6, t / 1e6, 100 * (t - s) / t }'

# Wall time of one run in milliseconds, to a tenth; the run must find the planted file. The clock
# is the shell's own, so that starting a clock program is not timed with the run.
time_ms() {
  local start end output micros
  start=$EPOCHREALTIME
  output=$("$@" 2>/dev/null || true)
  end=$EPOCHREALTIME
  case "$output" in *planted.c*) ;; *) echo "goto-search: '$*' missed the marker" >&2; exit 1 ;; esac
  case "$output" in *decoy*) echo "goto-search: '$*' searched an ignored folder" >&2; exit 1 ;; esac
  micros=$(( 10#${end//[!0-9]/} - 10#${start//[!0-9]/} ))
  printf '%d.%d\n' $(( micros / 1000 )) $(( micros % 1000 / 100 ))
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }

# Warm the page cache.
"$tool" --print "$tree" "$id" >/dev/null
rg -F -l -- "// $id" "$tree" >/dev/null || true
grep -rFl -- "// $id" "$tree" >/dev/null || true

# Interleaved, so that load from elsewhere on the machine falls on all alike. A first goto
# finds nothing remembered; the repeated one reads the file the run before it remembered.
goto_times=() again_times=() rg_times=() grep_times=()
for _ in $(seq "$runs"); do
  rm -rf "$cache/pathwicks"
  goto_times+=("$(time_ms "$tool" --print "$tree" "$id")")
  again_times+=("$(time_ms "$tool" --print "$tree" "$id")")
  rg_times+=("$(time_ms rg -F -l -- "$id" "$tree")")
  grep_times+=("$(time_ms grep -rFl -- "// $id" "$tree")")
done
goto_ms=$(median "${goto_times[@]}")
again_ms=$(median "${again_times[@]}")
rg_ms=$(median "${rg_times[@]}")
grep_ms=$(median "${grep_times[@]}")

echo "first goto runs (ms):    ${goto_times[*]}"
echo "repeated goto runs (ms): ${again_times[*]}"
echo "rg runs (ms):            ${rg_times[*]}"
echo "grep runs (ms):          ${grep_times[*]}"
echo "median of $runs runs (ms): first goto $goto_ms, repeated goto $again_ms, rg -F -l $rg_ms, grep -rFl $grep_ms"
awk -v g="$goto_ms" -v r="$rg_ms" -v q="$grep_ms" -v a="$again_ms" 'BEGIN {
  printf "first goto / rg = %.2f (target: at most 0.7), goto / grep = %.2f\n", g / r, g / q
  printf "repeated goto: %.1f ms (target: under 5)\n", a }'
