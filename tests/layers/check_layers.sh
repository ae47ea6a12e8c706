#!/bin/sh
# check_layers.sh ROOT TABLE: fails when a source file of a library includes a
# header of a library folder its library does not link. Each line of TABLE
# names a library's folder, then every folder it may include (its own first);
# the build writes it from each library's DEPS, so the check is the build's
# graph. A folder of two libraries may include what either links. Entry
# points (main.cpp) and folders of no library (tests, tools) are not checked.

root="${1:?usage: check_layers.sh ROOT TABLE}"
table="${2:?usage: check_layers.sh ROOT TABLE}"
table=$(cd "$(dirname "$table")" && pwd)/$(basename "$table")
cd "$root" || exit 2

folders=$(awk '{ print $1 }' "$table" | sort -u)

# The folders `$1` may include, one per line.
allowed() {
  awk -v f="$1" '$1 == f { for (i = 1; i <= NF; i++) print $i }' "$table" | sort -u
}

status=0
for dir in $folders; do
  [ -d "$dir" ] || continue
  may=$(allowed "$dir")
  for file in "$dir"/*.h "$dir"/*.cpp; do
    [ -f "$file" ] || continue
    [ "${file##*/}" = main.cpp ] && continue
    for inc in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
      its=${inc%/*}
      [ "$its" = "$inc" ] && continue
      echo "$folders" | grep -qx "$its" || continue
      if ! echo "$may" | grep -qx "$its"; then
        echo "$file includes $inc, a library its own does not link"
        status=1
      fi
    done
  done
done
exit $status
