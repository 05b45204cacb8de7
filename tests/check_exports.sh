#!/usr/bin/env bash
# Usage: check_exports.sh LIBRARY.def libLIBRARY.so
# Fails when a name listed in the .def file is not exported by the library.
# C++ members are listed by their readable names (Class::member).
set -euo pipefail
def=$1 library=$2
exported=$(nm -D --defined-only -C "$library" | cut -d' ' -f3-)
missing=0
while IFS= read -r line; do
  name=$(sed -E 's/^[[:space:]]+//; s/[[:space:]]*@[0-9]+[[:space:]]*$//; s/[[:space:]]+$//' <<<"$line")
  [[ -z $name || $name == LIBRARY* || $name == EXPORTS ]] && continue
  if ! grep -qxF -e "$name" <<<"$exported" && ! grep -qF -e "$name(" <<<"$exported"; then
    echo "not exported: $name"
    missing=1
  fi
done <"$def"
[[ $missing == 0 ]] && echo "every name of $(basename "$def") is exported"
exit $missing
