#!/usr/bin/env bash
# Runs tst_avahibrowser against a real avahi-daemon. The daemon, its system bus and the test live in new
# network, mount and pid namespaces: they never see the machine's own network, and the kernel removes the
# namespaces with every process in them when this script ends, however it ends.
set -euo pipefail
test_binary=$1

if [ "${QUORVANE_IN_NAMESPACE:-}" != 1 ]; then
    for tool in unshare ip dbus-daemon dbus-send avahi-daemon avahi-publish timeout; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/install-deps)"
            exit 77
        fi
    done
    if ! unshare --net --mount --pid --fork --kill-child true 2>/dev/null; then
        echo "SKIP: cannot create network, mount and pid namespaces here (avahi-daemon needs real root for its runtime folder: run as root)"
        exit 77
    fi
    exec timeout -k 5 120 unshare --net --mount --pid --fork --kill-child --propagation private \
        env QUORVANE_IN_NAMESPACE=1 bash "$0" "$@"
fi

# Inside: /run becomes a fresh tmpfs of this namespace, so the daemon's pid file and socket and our
# work folder vanish with it.
mount -t tmpfs -o mode=755 tmpfs /run
work=/run/quorvane-avahi-test
mkdir -p "$work" /run/avahi-daemon
daemons=()
cleanup() {
    for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            echo "gave up waiting for: $*"
            return 1
        fi
        sleep 0.05
    done
}

address=10.77.0.1
ip link set lo up
# mDNS needs a multicast interface with an address; the loopback one does not do.
if ! ip link add qv0 type veth peer name qv1 2>/dev/null; then
    echo "SKIP: this kernel cannot make a veth pair"
    exit 77
fi
ip addr add $address/24 dev qv0
ip link set qv1 up
ip link set qv0 up

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
cat >"$work/avahi-daemon.conf" <<CONF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=qv0
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF

export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system_bus_socket
dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile &
daemons+=($!)
wait_for 10 dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetId

echo "== system bus without avahi-daemon"
QUORVANE_AVAHI_TEST=absent "$test_binary"

avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$work/avahi-daemon.conf" >"$work/avahi.log" 2>&1 &
daemons+=($!)
has_avahi() {
    dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.freedesktop.Avahi | grep -q 'boolean true'
}
wait_for 10 has_avahi || { cat "$work/avahi.log"; exit 1; }

avahi-publish -s Thuis _homey._tcp 4859 id=abc name=Thuis model=pro version=12.0 >"$work/publish.log" 2>&1 &
daemons+=($!)
wait_for 10 grep -q Established "$work/publish.log" || { cat "$work/avahi.log" "$work/publish.log"; exit 1; }

echo "== avahi-daemon publishing Thuis"
QUORVANE_AVAHI_TEST=published QUORVANE_AVAHI_ADDRESS=$address "$test_binary"
