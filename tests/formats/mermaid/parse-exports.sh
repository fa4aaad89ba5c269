#!/usr/bin/env bash
# Exports charts whose titles hold everything Mermaid's syntax gives a meaning to, and the
# sample walkthrough, and has Mermaid's own parser read them.
# Usage: parse-exports.sh PATHWICKS SAMPLE.pathwicks
set -euo pipefail
pathwicks=$1
sample=$2
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v node > /dev/null || [ ! -d "$here/node_modules/mermaid" ]; then
  echo "Mermaid's parser is not installed here: scripts/install-deps installs it"
  # CI installs it first: there its absence is a failure.
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/charts"
printf 'int main() { // pathwick-1\n}\n' > "$work/src/we\"ird (1) #%.c"
cp "$here/titles.pathwicks" "$work/titles.pathwicks"
"$pathwicks" export "$work/titles.pathwicks" "$work/charts/titles.mmd"
"$pathwicks" export "$sample" "$work/charts/sample.mmd"
grep -q 'click n1 href' "$work/charts/titles.mmd"
node "$here/check.mjs" "$work/charts/titles.mmd" "$work/charts/sample.mmd"
