#!/bin/sh
# Runs the AT-SPI test on its own X server and D-Bus session, where the accessibility bus
# starts on demand.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
  env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 \
  /usr/bin/python3 "$here/atspi_test.py" "$1"
