#!/usr/bin/env bash
# Runs tst_secretservicestore in two private session buses: one with a real, unlocked gnome-keyring and
# one with a Secret Service that never answers. Nothing touches the user's own keyring.
set -euo pipefail
# The private session bus starts none of the machine's own services (a notification daemon would
# answer in place of the test's own server): tests/support/session-bus.conf names no service folder.
bus_config=$(cd "$(dirname "$0")/../support" && pwd)/session-bus.conf
test_binary=$1

for tool in dbus-run-session gnome-keyring-daemon timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-keyring.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# A display would let the keyring open prompts; the tests must never wait for a person.
unset DISPLAY WAYLAND_DISPLAY

# gnome-keyring-daemon leaves with the session bus that dbus-run-session takes down.
echo "== real keyring"
QUORVANE_KEYRING=real timeout -k 5 60 dbus-run-session --config-file="$bus_config" -- \
    "$(dirname "$bus_config")/with-keyring.sh" "$test_binary"

echo "== stalled service"
QUORVANE_KEYRING=stalled timeout -k 5 60 dbus-run-session --config-file="$bus_config" -- "$test_binary"
