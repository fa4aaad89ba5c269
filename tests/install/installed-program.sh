#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a space in its path, as users' folders have) and
# runs what was installed: the program, a goto tool, and the desktop's view of the document type;
# then uninstalls it.
# Usage: installed-program.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$1 source=$2 version=$3

for tool in desktop-file-validate xdg-mime mimetype update-mime-database; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (scripts/install-deps installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
# cmake --install records what it installed in the build folder; the user's own record of a
# real install is put back afterwards.
manifest="$build/install_manifest.txt"
[ -e "$manifest" ] && cp -p "$manifest" "$work/user-manifest"
finish() {
  if [ -e "$work/user-manifest" ]; then cp -p "$work/user-manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap finish EXIT
prefix="$work/the prefix"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! env -u DESTDIR cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install into $prefix"
  exit 1
fi

program="$prefix/bin/pathwicks"
resources="$prefix/lib/pathwicks/Contents/Resources"
share="$prefix/share"
for file in "$program" "$resources"/{xcode,androidstudio,atom,sublime,sublime2,webstorm,textmate,vscode}-goto; do
  [ -x "$file" ] || fail "not an installed program: $file"
done
for file in "$resources/Config.json" \
  "$share/applications/pathwicks.desktop" \
  "$share/mime/packages/pathwicks.xml" \
  "$share/icons/hicolor/scalable/apps/pathwicks.svg" \
  "$share/icons/hicolor/scalable/mimetypes/application-x-pathwicks.svg"; do
  [ -s "$file" ] || fail "not installed: $file"
done

desktop-file-validate "$share/applications/pathwicks.desktop" || fail "desktop-file-validate"

# The installed program runs from anywhere and without a display.
cp -R "$source/examples/tour" "$work/tour"
run() { (cd / && env -u DISPLAY -u WAYLAND_DISPLAY "$@"); }

[ "$(run "$program" --version)" = "pathwicks $version" ] || fail "pathwicks --version"

run "$program" format "$work/tour/tour.pathwicks" >"$work/formatted" || fail "pathwicks format"
cmp -s "$work/formatted" "$work/tour/tour.pathwicks" ||
  fail "pathwicks format does not reproduce the sample document"

# A colour changed in the installed Config.json shows in the export: the program reads the
# bundle beside itself, not the build tree's.
if grep -q 'FAF8F0' "$resources/Config.json"; then
  sed -i 's/FAF8F0/1A2B3C/' "$resources/Config.json"
  run "$program" export "$work/tour/tour.pathwicks" "$work/tour.svg" || fail "pathwicks export (svg)"
  grep -qi '1a2b3c' "$work/tour.svg" || fail "the export does not use the installed Config.json"
else
  fail "the sample colour FAF8F0 is no longer in Config.json: update this test"
fi
run "$program" export "$work/tour/tour.pathwicks" "$work/tour.png" || fail "pathwicks export (png)"
[ "$(head -c 8 "$work/tour.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the exported PNG is not a PNG"

id=pathwick-35233BEB-8E4C-421A-9504-718E008CA24C
expected=$(cd "$work/tour" && grep -rn -- "// $id" calc | head -1 | cut -d: -f1,2)
[ -n "$expected" ] || fail "the sample project lost the marker $id"
place=$(run "$resources/vscode-goto" --print "$work/tour" "$id") || fail "vscode-goto --print"
[ "$place" = "$work/tour/$expected" ] || fail "vscode-goto printed '$place', not '$work/tour/$expected'"

# The install refreshed the MIME database, and the desktop tools read the type from it alone.
grep -qx 'application/x-pathwicks application/json' "$share/mime/subclasses" 2>/dev/null ||
  fail "the MIME database in $share lacks application/x-pathwicks as a kind of JSON"
mkdir -p "$work/home"
desktop() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/home" \
    XDG_CONFIG_DIRS="$work/home" XDG_CONFIG_HOME="$work/home" "$@"
}
type=$(desktop xdg-mime query filetype "$work/tour/tour.pathwicks") || fail "xdg-mime query filetype"
[ "$type" = application/x-pathwicks ] || fail "xdg-mime says '$type' for a .pathwicks file"
# The handler of a double-click, read from the menu cache itself: xdg-mime's own lookup of it
# splits XDG_DATA_DIRS at spaces.
grep -qx 'application/x-pathwicks=pathwicks.desktop;' "$share/applications/mimeinfo.cache" ||
  fail "the menu cache in $share does not open .pathwicks files with pathwicks.desktop"

# Uninstalling removes every installed file and the type from the MIME database.
cmake -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" >"$work/uninstall.log" 2>&1 ||
  fail "uninstall: $(cat "$work/uninstall.log")"
left=$(find "$prefix" -type f ! -path "$share/mime/*" ! -name '*.cache')
[ -z "$left" ] || fail "left after uninstalling: $left"
[ ! -e "$prefix/lib/pathwicks" ] || fail "the bundle folder is left after uninstalling"
type=$(desktop xdg-mime query filetype "$work/tour/tour.pathwicks")
[ "$type" != application/x-pathwicks ] || fail "xdg-mime still knows .pathwicks files after uninstalling"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; install log:" >&2
  cat "$work/install.log" >&2
  exit 1
fi
echo "installed into $prefix and ran it: all checks passed"
