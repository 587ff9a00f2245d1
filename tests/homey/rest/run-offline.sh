#!/usr/bin/env bash
# Runs a test inside a network namespace of its own: no interface but a loopback that is down.
# Exits 77 (skipped) where namespaces are not allowed.
unshare -n true 2>/dev/null || exit 77
QUORVANE_EXPECT_OFFLINE=1 exec unshare -n "$@"
