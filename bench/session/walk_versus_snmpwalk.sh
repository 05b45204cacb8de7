#!/usr/bin/env bash
# Walks net-snmp's agent with the session API and with snmpwalk, side by
# side, and prints the ratio of their wall times (below 1: ours is faster)
# and the round trip through a session against a plain UDP ping-pong.
set -euo pipefail
bench=$(dirname "$0")/session_bench
export ORVANE_RUNTIME_DIR=${ORVANE_RUNTIME_DIR:-$(mktemp -d)}
"$bench" --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); split($1, name, "/"); time[name[1]] = $3; unit[name[1]] = $5 }
  END {
    printf "session walk of snmpd:   %8.1f %s\n", time["BM_SessionWalkOfSnmpd"], unit["BM_SessionWalkOfSnmpd"]
    printf "snmpwalk of snmpd:       %8.1f %s\n", time["BM_SnmpwalkOfSnmpd"], unit["BM_SnmpwalkOfSnmpd"]
    printf "walk time ratio (ours / snmpwalk): %.2f\n", time["BM_SessionWalkOfSnmpd"] / time["BM_SnmpwalkOfSnmpd"]
    printf "round trip through a session: %6.1f %s\n", time["BM_SessionRoundTrip"], unit["BM_SessionRoundTrip"]
    printf "plain UDP round trip:         %6.1f %s\n", time["BM_PlainUdpRoundTrip"], unit["BM_PlainUdpRoundTrip"]
  }'
