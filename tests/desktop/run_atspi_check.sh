#!/usr/bin/env bash
# Starts the real program on a virtual display with an accessibility bus and lets an AT-SPI
# client read its window.   run_atspi_check.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
exec xvfb-run -a dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & bus=$!
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$1" & app=$!
    trap "kill $app $bus 2>/dev/null || true" EXIT
    /usr/bin/python3 "$2/atspi_tree.py" Statwright
' bash "$program" "$here"
