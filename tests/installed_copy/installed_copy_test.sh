#!/usr/bin/env bash
# Installs the build into a fresh prefix and builds two small programs
# against the installed copy alone, with the flags pkg-config gives for
# netmgr and for modbase, then runs them.
#   installed_copy_test.sh cmake build-folder c++-compiler source-folder
set -euo pipefail
cmake=$1 build=$2 compiler=$3 sources=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
pc=$(find "$prefix" -name netmgr.pc -print -quit)
[[ -n $pc ]] || { echo "no netmgr.pc in $prefix"; exit 1; }
export PKG_CONFIG_PATH=$(dirname "$pc")
# Only the installed copy: nothing of the source or build tree.
libdir=$(pkg-config --variable=libdir netmgr)
export LD_LIBRARY_PATH=$libdir
export ORVANE_REGISTRY=$work/registry ORVANE_RUNTIME_DIR=$work/runtime
mkdir -p "$ORVANE_REGISTRY" "$ORVANE_RUNTIME_DIR"

build_and_run() {
  local library=$1 program=$2
  # shellcheck disable=SC2046  # the flags are words
  "$compiler" -std=c++20 -o "$work/$program" "$sources/$program.cpp" $(pkg-config --cflags --libs "$library")
  echo "$program: $("$work/$program")"
}
build_and_run netmgr tiny_manager
build_and_run modbase tiny_module_reader
# The installed programs start from the installed libraries.
env -u LD_LIBRARY_PATH "$prefix/bin/modforge" --help >/dev/null
echo "modforge --help: ok"
