#!/usr/bin/env bash
# in-private-network.sh COMMAND...: runs a command in a fresh network
# namespace that holds only loopback, with a private /run/netns, so that
# nothing it sends can reach the machine's real network and the namespaces
# it names vanish with it.
set -euo pipefail
mkdir -p /run/netns
exec unshare --net --mount --propagation private -- bash -c '
    mount -t tmpfs pondel-netns /run/netns
    ip link set lo up
    exec "$@"' in-private-network "$@"
