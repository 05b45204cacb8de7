#!/usr/bin/env bash
# Compile time of the corpus test's MIB set, side by side: the real-world
# modules scripts/setup takes from Debian packages, the standard IETF
# modules and net-snmp's. modforge's console mode against smilint -l 3 and
# snmptranslate -m ALL -Tz on the same files, timed by hyperfine (warm-up
# runs, then at least RUNS runs of each, default 50). hyperfine's summary
# gives each peer's time as a multiple of modforge's.
#   bench/modforge/compare_peers.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${RUNS:-50}
modforge=$(realpath "$build/bin/modforge")
cache=${ORVANE_MIB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvane/mibs}
corpus=${ORVANE_MIB_CORPUS:-${XDG_CACHE_HOME:-$HOME/.cache}/orvane/mib-corpus}
netsnmp=/usr/share/snmp/mibs
[[ -x $modforge ]] || { echo "build modforge first ($modforge)"; exit 1; }
[[ -f $cache/SNMPv2-SMI.mib ]] || { echo "no standard MIBs in $cache: run scripts/setup"; exit 1; }
[[ -f $corpus/KEEPALIVED-MIB.txt ]] || { echo "no MIB corpus in $corpus: run scripts/setup"; exit 1; }
files=$(ls "$corpus"/* "$cache"/*.mib "$netsnmp"/*.txt | tr '\n' ' ')
lines=$(cat $files | wc -l)
echo "Compiling $(wc -w <<<"$files") MIB files ($lines lines) from $corpus, $cache and $netsnmp"

# The peers report the modules whose imports are missing; every tool's
# output is discarded and its exit status ignored.
path=$corpus:$cache:$netsnmp
table=$(mktemp)
trap 'rm -f "$table"' EXIT
hyperfine -N --warmup 5 --min-runs "$runs" --ignore-failure --style basic --export-markdown "$table" \
  --command-name "modforge -c" "$modforge -w 0 -I $corpus -I $cache -I $netsnmp -c $files" \
  --command-name "smilint -l 3" "env SMIPATH=$path smilint -l 3 $files" \
  --command-name "snmptranslate -m ALL -Tz" "snmptranslate -m ALL -M $path -Tz"
cat "$table"
