#!/usr/bin/env bash
# Walks net-snmp's agent with the session API and with snmpwalk in turn,
# several pairs, and prints the medians of the pairwise ratios of their
# wall and CPU times (below 1: ours is cheaper), then the round trip
# through a session against a plain UDP ping-pong. PAIRS sets the count of
# pairs (5).
set -euo pipefail
bench=$(dirname "$0")/session_bench
export ORVANE_RUNTIME_DIR=${ORVANE_RUNTIME_DIR:-$(mktemp -d)}
"$bench" --pairs="${PAIRS:-5}" 2>/dev/null
