#!/usr/bin/env bash
# Runs agentprobe and snmpwalk against the same private net-snmp agent in
# turn, several pairs, and prints the medians of the pairwise ratios of
# their wall and CPU times (below 1: the probe is cheaper): whole-MIB walks
# with names and numeric, and a ping of one variable, which is mostly
# start-up; then GetBulk walks, agentprobe -g10 and -g50 against
# snmpbulkwalk -Cr10 and -Cr50. PAIRS sets the count of pairs (5).
set -euo pipefail
bench=$(dirname "$0")/probe_bench
export ORVANE_RUNTIME_DIR=${ORVANE_RUNTIME_DIR:-$(mktemp -d)}
"$bench" --pairs="${PAIRS:-5}" 2>/dev/null
