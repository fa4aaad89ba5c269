# Sourced by the benchmark scripts: copy_source_tree TREE fills TREE with /usr/include and the
# Python library, copied twice (about 500 MB of real source files).
copy_source_tree() {
  local tree=$1 copy source python
  local sources=(/usr/include)
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
}
