#!/bin/sh
# check_layers.sh ROOT: fails when a source file of the program includes a
# header of a layer above its own. The layers, from the bottom up (a folder
# may include its own layer and those below it; entry points, main.cpp, sit
# above all):
layers="base state platform imagefile spectrum calibration display output app platform/script platform/qt"

cd "${1:?usage: check_layers.sh ROOT}" || exit 2

# The layer number of a path: the longest layer folder it lies in.
level() {
  n=0 found=-1 len=0
  for l in $layers; do
    case "$1" in
      "$l"/*) if [ ${#l} -gt $len ]; then found=$n len=${#l}; fi ;;
    esac
    n=$((n + 1))
  done
  echo $found
}

status=0
for dir in $layers; do
  [ -d "$dir" ] || continue
  for file in "$dir"/*.h "$dir"/*.cpp; do
    [ -f "$file" ] || continue
    [ "${file##*/}" = main.cpp ] && continue
    own=$(level "$file")
    for inc in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
      its=$(level "$inc")
      if [ "$its" -gt "$own" ]; then
        echo "$file includes $inc, a layer above its own"
        status=1
      fi
    done
  done
done
exit $status
