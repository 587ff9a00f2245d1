#!/usr/bin/env bash
# Runs an end-to-end test program with a display and a desktop session of its own: a private X server
# (Xvfb) with a tray host (trayer), and a private D-Bus session holding an unlocked gnome-keyring. The
# program under test meets a real display, tray and Secret Service, and never the user's.
set -euo pipefail
# The private session bus starts none of the machine's own services (a notification daemon would
# answer in place of the test's own server): tests/support/session-bus.conf names no service folder.
bus_config=$(cd "$(dirname "$0")/../support" && pwd)/session-bus.conf
test_binary=$1
shift

# QUORVANE_E2E_WRAPPER: a command the tests run the program under (valgrind).
wrapper=${QUORVANE_E2E_WRAPPER:-}
for tool in Xvfb xdotool xprop xset trayer dbus-run-session gnome-keyring-daemon timeout ${wrapper%% *}; do
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
# Waits that end when the thing is ready are generous: a busy machine can take many seconds to start a
# server, and a test started before its desktop is ready fails for nothing.
for _ in $(seq 1200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:"
    cat "$work/xvfb.log"
    exit 1
fi
export DISPLAY=:$(cat "$work/display")
export QT_QPA_PLATFORM=xcb
# Tests draw with the software scene graph and hold still. A benchmark (bench_*) measures the program as a
# user starts it: the renderer the program picks itself, full motion, unless the caller chose otherwise.
if [[ $(basename "$test_binary") != bench_* ]]; then
    export QT_QUICK_BACKEND=software QUORVANE_REDUCE_MOTION=1
fi
unset XDG_SESSION_TYPE

# The tray a desktop offers. The program puts its icon in a tray that comes after it too, but then its
# start says there was none: no test starts before the tray host owns the tray. quorvane-traywait is
# built beside the end-to-end tests (a benchmark finds it in the tests' folder of its build).
trayer --edge top --align right --widthtype pixel --width 200 --height 24 >"$work/trayer.log" 2>&1 &
pids+=($!)
bin=$(dirname "$test_binary")
traywait=
for candidate in "$bin/quorvane-traywait" "$bin/../tests/e2e/quorvane-traywait"; do
    [ -x "$candidate" ] && traywait=$candidate && break
done
if [ -z "$traywait" ]; then
    echo "run-e2e.sh: quorvane-traywait is not built beside $test_binary"
    exit 1
fi
if ! "$traywait" 60; then
    echo "run-e2e.sh: the tray host did not come up:"
    cat "$work/trayer.log"
    exit 1
fi

# glibc's own heap checks, for the test and every program it starts: a write into freed memory from code
# no sanitizer sees into (Qt's own libraries) aborts the program there and then, instead of corrupting
# the heap for a crash far away later, or never. MALLOC_CHECK_ lives in libc_malloc_debug since glibc
# 2.34. Not under a sanitizer or valgrind (QUORVANE_E2E_WRAPPER): they bring a heap of their own. Nor for
# a benchmark (bench_*): it measures the heap users have.
libraries=$(ldd "$test_binary" 2>/dev/null || true)
if [ -z "$wrapper" ] && ! grep -q 'lib[at]san' <<<"$libraries" && [[ $(basename "$test_binary") != bench_* ]]; then
    export MALLOC_PERTURB_=165 GLIBC_TUNABLES=glibc.malloc.tcache_count=0
    malloc_debug=$(sed -n 's|.*libc\.so\.6 => \(/.*/\)libc\.so\.6 .*|\1libc_malloc_debug.so.0|p' <<<"$libraries")
    if [ -f "$malloc_debug" ]; then
        export MALLOC_CHECK_=3 LD_PRELOAD=$malloc_debug${LD_PRELOAD:+:$LD_PRELOAD}
    fi
fi

# A private session bus holding an unlocked keyring that never opens a prompt (with-keyring.sh).
# QUORVANE_E2E_SECONDS: how long the whole run may take (valgrind needs longer).
timeout -k 5 "${QUORVANE_E2E_SECONDS:-280}" dbus-run-session --config-file="$bus_config" -- \
    "$(dirname "$bus_config")/with-keyring.sh" "$test_binary" "$@"
