#!/usr/bin/env bash
# Checks the Windows packages under Wine as a user would meet them: ffname.exe carries its icon,
# version information and manifest; both packages carry the licences; the zip, unpacked, shows
# the window; the installer, run silently in a fresh prefix, installs for the user alone with a
# Start-menu shortcut that starts in the profile folder and an "Installed apps" entry; over a
# running copy the installer and uninstaller change nothing, silently with a failing status; and
# the uninstaller leaves nothing behind.
# Run by scripts/test-windows with DISPLAY set to its virtual X display.
# Usage: check_windows_packages.sh ZIP INSTALLER VERSION
set -euo pipefail
zip="$1" installer="$2" version="$3"
work="$(mktemp -d)"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# True once a window titled "FF Name" shows, within 30 seconds.
window_shows() {
  local _
  for _ in $(seq 60); do
    xdotool search --name '^FF Name$' >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  return 1
}

check_resources() {
  local exe="$1" strings manifest
  wrestool -x -t14 "$exe" >"$work/icon.ico"
  [[ "$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | xargs)" == \
     "16 24 32 48 256" ]] || fail "the icon lacks a size of 16, 24, 32, 48 and 256 pixels"
  strings="$(wrestool -x --raw -t16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
             tr -c '[:print:]' '\n')"
  for wanted in "ProductName" "FF Name" "FileDescription" "FileVersion" "$version" \
                "Copyright 2026 The FF Name authors"; do
    grep -qxF "$wanted" <<<"$strings" || fail "the version information lacks \"$wanted\""
  done
  manifest="$(wrestool -x --raw -t24 "$exe")"
  for wanted in "<dpiAwareness[^>]*>PerMonitorV2<" "<longPathAware[^>]*>true<" \
                "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"; do
    grep -q "$wanted" <<<"$manifest" || fail "the manifest lacks $wanted"
  done
}

check_licences() {
  local folder="$1" file
  for file in THIRD-PARTY.txt licences/LICENSE licences/LGPL-3.txt licences/GPL-3.txt \
              licences/GCC-RUNTIME-LIBRARY-EXCEPTION-3.1.txt licences/winpthreads.txt \
              licences/qt-third-party/freetype/FTL.TXT; do
    [[ -s "$folder/$file" ]] || fail "$(basename "$2") lacks $file"
  done
}

check_zip() {
  mkdir "$work/zip"
  unzip -q "$zip" -d "$work/zip"
  local unpacked=("$work"/zip/*/)
  check_resources "$unpacked/ffname.exe"
  check_licences "$unpacked" "$zip"
  (cd "$unpacked" && env -u WINEPATH wine ffname.exe </dev/null >/dev/null 2>&1 &)
  window_shows || fail "the unpacked ffname.exe showed no window"
  wineserver -k >/dev/null 2>&1 || true
}

# With the program running, stands in for an older install: silently, the installer and the
# uninstaller fail and touch nothing. The uninstaller as the shortcut and "Installed apps" start
# it copies itself away and returns at once; run in place (_?=, which takes no quotes, hence the
# batch file), its status is its own.
check_running_copy_kept() {
  local installed="$1" shortcut="$2" status=0
  printf older >"$installed/THIRD-PARTY.txt"
  env -u WINEPATH wine "$installer" /S </dev/null >/dev/null 2>&1 || status=$?
  ((status == 2)) || fail "the installer ran silently over a running copy (status $status)"
  [[ "$(cat "$installed/THIRD-PARTY.txt")" == older ]] ||
    fail "the installer replaced a file of a running copy"
  local folder
  folder="$(winepath -w "$installed")"
  printf '"%s\\Uninstall.exe" /S _?=%s\r\nexit /b %%errorlevel%%\r\n' "$folder" "$folder" \
    >"$work/uninstall.bat"
  status=0
  env -u WINEPATH wine cmd /c "$(winepath -w "$work/uninstall.bat")" </dev/null >/dev/null 2>&1 ||
    status=$?
  ((status == 2)) || fail "the uninstaller ran silently over a running copy (status $status)"
  env -u WINEPATH wine "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
  sleep 1
  for _ in $(seq 60); do pgrep -f 'Un_[A-Z]\.exe' >/dev/null || break; sleep 0.5; done
  [[ -f "$installed/ffname.exe" && -f "$installed/Uninstall.exe" && -f "$shortcut" ]] ||
    fail "the uninstaller removed a running copy's files"
}

check_installer() {
  export WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="winemenubuilder.exe=d"
  timeout 180 wineboot --init </dev/null >/dev/null 2>&1
  local user_dir=("$WINEPREFIX"/drive_c/users/*/AppData)
  local installed="$user_dir/Local/Programs/FF Name"
  local shortcut="$user_dir/Roaming/Microsoft/Windows/Start Menu/Programs/FF Name.lnk"
  # As the key stands in the prefix's user.reg, with its backslashes doubled.
  local key='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\FF Name]'
  env -u WINEPATH wine "$installer" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
  [[ -f "$installed/ffname.exe" ]] || fail "nothing installed in $installed"
  check_licences "$installed" "$installer"
  [[ -f "$shortcut" ]] || fail "no Start-menu shortcut"
  local profile="C:\\users\\$(basename "$(dirname "$user_dir")")"
  strings -el "$shortcut" | grep -qixF "$profile" ||
    fail "the shortcut does not start in $profile"
  (cd "$installed" && env -u WINEPATH wine ffname.exe </dev/null >/dev/null 2>&1 &)
  window_shows || fail "the installed ffname.exe showed no window"
  check_running_copy_kept "$installed" "$shortcut"
  wineserver -k >/dev/null 2>&1 || true  # also writes the registry out to user.reg
  env -u WINEPATH wine "$installer" /S </dev/null >/dev/null 2>&1 ||
    fail "the installer failed once the program had closed"
  [[ "$(cat "$installed/THIRD-PARTY.txt")" != older ]] ||
    fail "the install over a closed copy left a file of the older one"
  wineserver -k >/dev/null 2>&1 || true
  local entry
  entry="$(KEY="$key" awk 'index($0, ENVIRON["KEY"]) == 1 { on = 1; next }
                           on && /^\[/ { exit } on' "$WINEPREFIX/user.reg")"
  for value in '"DisplayName"="FF Name"' "\"DisplayVersion\"=\"$version\"" '"DisplayIcon"=' \
               '"EstimatedSize"=dword:' '"UninstallString"=' '"QuietUninstallString"='; do
    grep -qF "$value" <<<"$entry" || fail "the Uninstall key lacks $value"
  done

  # The uninstaller copies itself away and returns at once: wait for its work to end.
  env -u WINEPATH wine "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 120); do [[ -e "$installed" ]] || break; sleep 0.5; done
  wineserver -w >/dev/null 2>&1 || true
  [[ ! -e "$installed" ]] || fail "the uninstaller left $(find "$installed" | head -n 5)"
  [[ ! -e "$shortcut" ]] || fail "the uninstaller left the shortcut"
  grep -qF "$key" "$WINEPREFIX/user.reg" && fail "the uninstaller left the Uninstall key"
  return 0
}

check_zip
check_installer
((failures == 0)) || exit 1
echo "$(basename "$zip") and $(basename "$installer"): resources, licences, install, start and uninstall checked under Wine"
