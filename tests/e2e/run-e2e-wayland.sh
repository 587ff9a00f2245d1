#!/usr/bin/env bash
# Runs an end-to-end test program on a headless Wayland compositor of its own (sway, with XWayland), as
# on a Wayland desktop without a tray. The program finds the compositor in WAYLAND_DISPLAY, its control
# socket in SWAYSOCK and the X server of XWayland in QUORVANE_XWAYLAND_DISPLAY (empty when XWayland did
# not start). Exits 77 (skipped) where the compositor cannot start.
set -euo pipefail
# The private session bus starts none of the machine's own services (a notification daemon would
# answer in place of the test's own server): tests/support/session-bus.conf names no service folder.
bus_config=$(cd "$(dirname "$0")/../support" && pwd)/session-bus.conf
test_binary=$1
shift

skip() {
    echo "SKIP: $*"
    exit 77
}
for tool in sway swaymsg wtype xhost setpriv timeout dbus-run-session gnome-keyring-daemon; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps)"
done
[ -n "$(find /usr/lib -path '*/qt6/plugins/platforms/libqwayland-generic.so' -print -quit 2>/dev/null)" ] ||
    skip "Qt's Wayland plugin is not installed (qt6-wayland, scripts/install-deps)"

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-wayland.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# sway refuses to run as root: it runs as nobody then, in folders of its own.
as_compositor=()
runtime=$work/compositor
mkdir -p "$runtime" "$work/client"
chmod 700 "$runtime" "$work/client"
if [ "$(id -u)" -eq 0 ]; then
    as_compositor=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
    chown nobody "$runtime"
    chmod o+x "$work"
fi
printf 'output HEADLESS-1 resolution 1280x800\nxwayland enable\n' >"$work/sway.conf"
chmod 644 "$work/sway.conf"

env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 "${as_compositor[@]}" sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
socket=
for _ in $(seq 1200); do
    socket=$(find "$runtime" -maxdepth 1 -type s -name 'wayland-*' -print -quit)
    ipc=$(find "$runtime" -maxdepth 1 -type s -name 'sway-ipc.*' -print -quit)
    [ -n "$socket" ] && [ -n "$ipc" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.05
done
if [ -z "$socket" ] || [ -z "${ipc:-}" ]; then
    tail -n 20 "$work/sway.log"
    skip "sway did not start"
fi
export WAYLAND_DISPLAY=$socket SWAYSOCK=$ipc XDG_RUNTIME_DIR=$work/client XDG_SESSION_TYPE=wayland
# The keyring and anything else that keeps files stay in the run's folder, never the user's.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"
export QT_QUICK_BACKEND=software QUORVANE_REDUCE_MOTION=1
unset DISPLAY QT_QPA_PLATFORM

# XWayland starts with its first client. It lets in the compositor's own user only, unless told.
swaymsg exec "echo \$DISPLAY > $runtime/xdisplay" >/dev/null
xdisplay=
for _ in $(seq 1200); do
    [ -s "$runtime/xdisplay" ] && break
    sleep 0.05
done
if [ -s "$runtime/xdisplay" ]; then
    candidate=$(cat "$runtime/xdisplay")
    for _ in $(seq 600); do
        if "${as_compositor[@]}" env DISPLAY="$candidate" xhost "+si:localuser:$(id -un)" >/dev/null 2>&1; then
            xdisplay=$candidate
            break
        fi
        sleep 0.1
    done
fi
export QUORVANE_XWAYLAND_DISPLAY=$xdisplay

# One virtual keyboard for the whole run: each new one changes the keymap under the focused window.
wtype -s 3600000 ' ' &
pids+=($!)

# In the background, so that a runner stopped from outside stops the test program with the compositor.
# A private D-Bus session with an unlocked keyring, as run-e2e.sh gives: a copy connected to a hub
# looks for its key there first.
# QUORVANE_E2E_SECONDS: how long the whole run may take, as for run-e2e.sh.
timeout -k 5 "${QUORVANE_E2E_SECONDS:-280}" dbus-run-session --config-file="$bus_config" -- \
    "$(dirname "$bus_config")/with-keyring.sh" "$test_binary" "$@" &
pids+=($!)
status=0
wait "$!" || status=$?
exit "$status"
