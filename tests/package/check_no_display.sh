#!/usr/bin/env bash
# Starts the program where it cannot open its window and checks what a user sees: status 1
# (never Qt's abort), nothing on standard output, and where the display is missing one plain
# line that says so and names xvfb-run; any other failure of Qt's platform in Qt's own words.
# Usage: check_no_display.sh PROGRAM
set -euo pipefail
program="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# One row: its name, the error output it must match (an extended regular expression), the
# number of lines it must have (0 for any), and the environment to start the program in.
row() {
  local name="$1" pattern="$2" lines="$3" status=0
  shift 3
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 20 "$program" \
    >"$work/out" 2>"$work/err" </dev/null || status=$?
  ((status == 1)) || fail "$name: status $status instead of 1"
  [[ ! -s "$work/out" ]] || fail "$name: standard output: $(cat "$work/out")"
  grep -qE "$pattern" "$work/err" || fail "$name: error output lacks /$pattern/: $(cat "$work/err")"
  ((lines == 0 || $(wc -l <"$work/err") == lines)) ||
    fail "$name: error output is not $lines line(s)"
}

no_display='^ffname: no display to open a window on \(.*\); xvfb-run ffname runs it without a screen$'
row "no display named" "$no_display" 1 QT_QPA_PLATFORM=
row "X11 asked for, none named" "$no_display" 1 QT_QPA_PLATFORM=xcb
row "a display that is not there" "$no_display" 1 QT_QPA_PLATFORM=xcb DISPLAY=:987654
row "no such platform plug-in" 'platform plugin "nosuch"' 0 QT_QPA_PLATFORM=nosuch DISPLAY=:987654
((failures == 0)) && echo "the program without a display: checked" || exit 1
