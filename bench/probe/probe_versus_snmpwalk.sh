#!/usr/bin/env bash
# Runs agentprobe and snmpwalk against the same private net-snmp agent,
# side by side, and prints the ratio of their wall times (below 1: the
# probe is faster): whole-MIB walks with names and numeric, and a ping of
# one variable, which is mostly start-up.
set -euo pipefail
bench=$(dirname "$0")/probe_bench
export ORVANE_RUNTIME_DIR=${ORVANE_RUNTIME_DIR:-$(mktemp -d)}
"$bench" --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); split($1, part, "/"); key = part[1] "/" part[2] "/" part[3]; time[key] = $3 }
  function row(label, mode) {
    probe = time["BM_Agentprobe/" mode]; walk = time["BM_Snmpwalk/" mode]
    printf "%-22s agentprobe %8.1f ms   snmpwalk %8.1f ms   ratio %.2f\n", label, probe, walk, probe / walk
  }
  END {
    row("walk with names", "names:1/walk:1")
    row("walk, numeric", "names:0/walk:1")
    row("ping with names", "names:1/walk:0")
    row("ping, numeric", "names:0/walk:0")
  }'
