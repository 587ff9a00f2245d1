#!/usr/bin/env bash
# Runs a test in a private session bus, where it serves its own fake desktop services (a notification
# server, a file manager).
set -euo pipefail
# The private session bus starts none of the machine's own services (a notification daemon would
# answer in place of the test's own server): tests/support/session-bus.conf names no service folder.
bus_config=$(cd "$(dirname "$0")/../support" && pwd)/session-bus.conf
test_binary=$1

for tool in dbus-run-session timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps)"
        exit 77
    fi
done
unset DISPLAY WAYLAND_DISPLAY
timeout -k 5 60 dbus-run-session --config-file="$bus_config" -- "$test_binary"
