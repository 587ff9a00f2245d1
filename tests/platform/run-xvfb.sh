#!/usr/bin/env bash
# Runs a test binary on a private Xvfb display: run-xvfb.sh [--tray] <test binary> [its arguments]. With
# --tray, trayer runs as an XEmbed tray host. Nothing touches the developer's own display or session bus.
set -euo pipefail
tray=0
if [ "${1:-}" = --tray ]; then
    tray=1
    shift
fi
test_binary=$1
shift

tools=(Xvfb xdotool timeout)
[ $tray = 1 ] && tools+=(trayer)
for tool in "${tools[@]}"; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-xvfb.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the descriptor once it accepts clients.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 1200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if ! [ -s "$work/display" ]; then
    echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"
    exit 77
fi
export DISPLAY=:$(head -n1 "$work/display")
export QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software
unset WAYLAND_DISPLAY XDG_SESSION_TYPE

if [ $tray = 1 ]; then
    trayer --edge top --align right --widthtype pixel --width 200 --height 24 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    export QUORVANE_TRAY=1
fi

timeout -k 5 90 "$test_binary" "$@"
