#!/usr/bin/env bash
# Runs an end-to-end test program on a desktop with two monitors side by side under a window manager
# that reparents (openbox), then as run-e2e.sh does: tray host, session bus and keyring of its own.
# Xvfb reports one monitor whatever xrandr says; Xorg with the dummy video driver has real ones.
# Exits 77 (skipped) where that server cannot start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

skip() {
    echo "SKIP: $*"
    exit 77
}
# The server itself: the wrapper in /usr/bin lets only a console user start it.
xorg=/usr/lib/xorg/Xorg
[ -x "$xorg" ] || xorg=$(command -v Xorg || true)
[ -n "$xorg" ] || skip "Xorg is not installed (scripts/install-deps)"
[ -n "$(find /usr/lib/xorg/modules -name dummy_drv.so 2>/dev/null)" ] ||
    skip "the dummy video driver is not installed (scripts/install-deps)"
for tool in openbox xrandr xprop setpriv; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-monitors.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/xorg/conf.d" "$work/home"

# Two 1280 x 800 monitors, the left one primary. Input devices come through XTest only.
cat >"$work/xorg/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 65536
    Option "Monitor-DUMMY0" "left"
    Option "Monitor-DUMMY1" "right"
EndSection
Section "Monitor"
    Identifier "left"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1280x800" 83.46 1280 1344 1480 1680 800 801 804 828
    Option "PreferredMode" "1280x800"
    Option "Primary" "true"
    Option "Position" "0 0"
EndSection
Section "Monitor"
    Identifier "right"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1280x800" 83.46 1280 1344 1480 1680 800 801 804 828
    Option "PreferredMode" "1280x800"
    Option "Enable" "true"
    Option "Position" "1280 0"
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "left"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2560 800
    EndSubSection
EndSection
EOF

# Run by root, the server would take a virtual terminal of the machine: it runs as nobody instead.
as_server=()
if [ "$(id -u)" -eq 0 ]; then
    as_server=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
    chown -R nobody "$work/xorg"
    chmod o+x "$work"
fi
# An empty configuration folder: nothing of the machine's own X configuration comes in.
"${as_server[@]}" "$xorg" -config "$work/xorg/xorg.conf" -configdir "$work/xorg/conf.d" \
    -logfile "$work/xorg/xorg.log" -nolisten tcp -noreset -displayfd 3 \
    3>"$work/display" >"$work/xorg/stdout" 2>&1 &
pids+=($!)
for _ in $(seq 1200); do
    [ -s "$work/display" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    tail -n 20 "$work/xorg/xorg.log" "$work/xorg/stdout" 2>/dev/null || true
    skip "Xorg with the dummy driver did not start"
fi
display=:$(cat "$work/display")
monitors=$(DISPLAY=$display xrandr --listmonitors | sed -n 's/^Monitors: //p')
[ "$monitors" = 2 ] || skip "Xorg with the dummy driver shows $monitors monitors instead of 2"

HOME=$work/home DISPLAY=$display openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1200); do
    DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
if ! DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "openbox did not start:"
    cat "$work/openbox.log"
    exit 1
fi

QUORVANE_E2E_DISPLAY=$display bash "$here/run-e2e.sh" "$@"
