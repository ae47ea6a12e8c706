#!/bin/sh
# lxr4-script under ulimit -f: a save past the limit is refused in words, the
# session runs to its end (status 0, not 153 from SIGXFSZ), and no temporary
# file is left. Arguments: the lxr4-script program, the samples folder.
set -u
program=$1
samples=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
cp "$samples/star.km1" . || exit 1
# The transcript goes through a pipe: a file would be held to the limit too.
transcript=$( (ulimit -f 4; printf 'open star.km1\nclick cmdload\nsave star.csv 3\nmenu exportSpectrum\n' |
  "$program" -; echo "status $?") )
echo "$transcript" | tail -n 3
echo "$transcript" | grep -q '^msgbox "The file star.csv could not be written: it would be larger than' || exit 1
echo "$transcript" | grep -q '^status 0$' || exit 1
[ "$(ls -A)" = "star.km1" ] || { ls -A; exit 1; }
