#!/usr/bin/env bash
# Run inside a private session bus: starts an unlocked gnome-keyring (secrets only), waits until it owns
# its name on the bus, then runs the command given. The keyring starts without a display, so it can never
# open a prompt that waits for a person. The test bus starts nothing on demand: a test that asked before
# the keyring had taken its name would find no Secret Service at all.
set -euo pipefail
printf pw | DISPLAY= WAYLAND_DISPLAY= gnome-keyring-daemon --unlock --components=secrets >/dev/null
for _ in $(seq 1200); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'; then
        exec "$@"
    fi
    sleep 0.05
done
echo "with-keyring.sh: the keyring did not take its name on the session bus" >&2
exit 1
