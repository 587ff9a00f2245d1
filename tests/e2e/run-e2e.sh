#!/usr/bin/env bash
# Runs an end-to-end test program with a display and a desktop session of its own: a private X server
# (Xvfb) with a tray host (trayer), and a private D-Bus session holding an unlocked gnome-keyring. The
# program under test meets a real display, tray and Secret Service, and never the user's.
set -euo pipefail
test_binary=$1
shift

for tool in Xvfb xdotool xprop xset trayer dbus-run-session gnome-keyring-daemon timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-e2e.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

# Xvfb names the display it took on the descriptor it is given. A display the caller started
# (run-e2e-monitors.sh) is taken as it is.
if [ -n "${QUORVANE_E2E_DISPLAY:-}" ]; then
    echo "${QUORVANE_E2E_DISPLAY#:}" >"$work/display"
else
    Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
fi
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:"
    cat "$work/xvfb.log"
    exit 1
fi
export DISPLAY=:$(cat "$work/display")
export QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software QUORVANE_REDUCE_MOTION=1
unset XDG_SESSION_TYPE

# The tray a desktop offers; the program finds it at start, or goes on without a tray icon.
trayer --edge top --align right --widthtype pixel --width 200 --height 24 >"$work/trayer.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -n "$(xdotool search --classname '^panel$' 2>/dev/null)" ] && break
    sleep 0.05
done

# The keyring is started without the display, so it can never open a prompt that waits for a person.
timeout -k 5 280 dbus-run-session -- sh -c \
    'printf pw | DISPLAY= gnome-keyring-daemon --unlock --components=secrets >/dev/null && exec "$0" "$@"' \
    "$test_binary" "$@"
