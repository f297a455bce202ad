#!/usr/bin/env bash
# Starts the real program on a virtual display with an accessibility bus and lets an AT-SPI
# client read its window.   run_atspi_check.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
# A virtual display that does not come up (as happens now and then on a busy machine) is
# tried again, up to three times; the check itself runs once.
for attempt in 1 2 3; do
status=0
xvfb-run -a dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & bus=$!
    trap "kill \$bus \${app:-} 2>/dev/null || true" EXIT
    # The program looks for the accessibility bus once, at start: wait until it answers.
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.1
    done
    # Nor may the program start before the display answers, which on a busy machine it may
    # not yet do.
    for _ in $(seq 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool getdisplaygeometry >/dev/null 2>&1 || exit 75
    # The real window on the virtual display, whatever platform the caller asked Qt for.
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$1" & app=$!
    /usr/bin/python3 "$2/atspi_tree.py" Statwright
' bash "$program" "$here" 2> >(grep -v -e "Failed to set fd limit" -e XDG_RUNTIME_DIR >&2) || status=$?
[ "$status" -eq 75 ] || exit "$status"
echo "the virtual display did not answer (attempt $attempt)" >&2
done
exit 1
