#!/usr/bin/env bash
# Makes the Debian package from a build folder with CPack and checks what a user would get: the
# file name, the control fields, exactly the program's files with Debian's modes, no path of the
# machine that built it, a stripped program without a run path and with its relocations bound
# at start, which says in one line that it has no display, icons of the sizes that their folders
# name, AppStream metadata that matches the desktop entry it names, and nothing that Debian's
# lintian objects to, not even pedantically.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build="$1" source="$2" version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

expected_files=(
  usr/bin/ffname
  usr/share/applications/org.ffname.ffname.desktop
  usr/share/doc/ffname/changelog.gz
  usr/share/doc/ffname/copyright
  usr/share/icons/hicolor/16x16/apps/ffname.png
  usr/share/icons/hicolor/24x24/apps/ffname.png
  usr/share/icons/hicolor/32x32/apps/ffname.png
  usr/share/icons/hicolor/48x48/apps/ffname.png
  usr/share/icons/hicolor/64x64/apps/ffname.png
  usr/share/icons/hicolor/128x128/apps/ffname.png
  usr/share/icons/hicolor/256x256/apps/ffname.png
  usr/share/icons/hicolor/scalable/apps/ffname.svg
  usr/share/man/man1/ffname.1.gz
  usr/share/metainfo/org.ffname.ffname.metainfo.xml
)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every folder above the expected files, and no other.
expected_folders() {
  local path
  for path in "${expected_files[@]}"; do
    while [[ "$path" == */* ]]; do
      path="${path%/*}"
      echo "$path"
    done
  done | sort -u
}

# "MODE OWNER PATH" for each entry of the package, folders without their trailing slash.
package_entries() {
  dpkg-deb -c "$deb" | awk '{ path = $6; sub(/^\.\//, "", path); sub(/\/$/, "", path);
                              if (path != "") print $1, $2, path }'
}

check_control_fields() {
  [[ "$(dpkg-deb -f "$deb" Package)" == ffname ]] || fail "package name is not ffname"
  [[ "$(dpkg-deb -f "$deb" Version)" == "$version" ]] || fail "version is not $version"
  local depends library
  depends="$(dpkg-deb -f "$deb" Depends)"
  for library in libqt6core6 libqt6gui6 libqt6widgets6; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
  done
}

check_entries() {
  local entries
  entries="$(package_entries)"
  diff <(printf '%s\n' "${expected_files[@]}" | sort) \
       <(awk '$1 !~ /^d/ { print $3 }' <<<"$entries" | sort) >&2 ||
    fail "the package's files differ from the expected ones (< expected, > packaged)"
  diff <(expected_folders) <(awk '$1 ~ /^d/ { print $3 }' <<<"$entries" | sort) >&2 ||
    fail "the package's folders differ from the expected ones (< expected, > packaged)"
  awk '{ want = $1 ~ /^d/ ? "drwxr-xr-x" : $3 == "usr/bin/ffname" ? "-rwxr-xr-x" : "-rw-r--r--"
         if ($1 != want || $2 != "root/root") print }' <<<"$entries" |
    grep . && fail "the entries above have the wrong mode or owner"
  return 0
}

# Each PNG icon has the size that its folder names, and the scalable one is an SVG drawing
# that renders.
check_icons() {
  local icons="$1" png size
  for png in "$icons"/*x*/apps/ffname.png; do
    size="$(basename "$(dirname "$(dirname "$png")")")"
    [[ "$(file -b "$png")" == "PNG image data, ${size/x/ x }, "* ]] ||
      fail "$png is not a PNG image of $size pixels: $(file -b "$png")"
  done
  python3 -c 'import sys, xml.etree.ElementTree as tree
sys.exit(tree.parse(sys.argv[1]).getroot().tag != "{http://www.w3.org/2000/svg}svg")' \
    "$icons/scalable/apps/ffname.svg" || fail "the scalable icon is not an SVG drawing"
  rsvg-convert --width=64 --height=64 "$icons/scalable/apps/ffname.svg" >"$work/icon.png" ||
    fail "the scalable icon does not render"
}

check_extracted_files() {
  local root="$work/root" folder
  dpkg-deb -x "$deb" "$root"
  for folder in "$source" "$build"; do
    grep -rlaF "$folder" "$root" && fail "the files above contain the path $folder"
  done
  [[ "$(file "$root/usr/bin/ffname")" == *", stripped"* ]] || fail "the program is not stripped"
  readelf -d "$root/usr/bin/ffname" | grep -E 'R(UN)?PATH' && fail "the program has a run path"
  readelf -d "$root/usr/bin/ffname" | grep -q BIND_NOW ||
    fail "the program's relocations are not bound at start (no BIND_NOW)"
  "$source/tests/package/check_no_display.sh" "$root/usr/bin/ffname" ||
    fail "the packaged program without a display"
  check_icons "$root/usr/share/icons/hicolor"
  local report
  report="$(appstreamcli validate-tree --no-net --pedantic "$root" 2>&1)" ||
    fail "AppStream's check of the installed tree: $report"
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb="$work/ffname_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || { ls "$work"; echo "FAIL: no $deb"; exit 1; }

check_control_fields
check_entries
check_extracted_files
# Debian's own checker at its most exacting: any tag fails, down to the informational and the
# pedantic ones (it refuses to run as root unless told to).
lintian_as=()
[[ $(id -u) -eq 0 ]] && lintian_as=(--allow-root)
lintian "${lintian_as[@]}" --info --pedantic --fail-on error,warning,info,pedantic "$deb" ||
  fail "lintian rejects the package"
((failures == 0)) && echo "package $(basename "$deb") checked" || exit 1
