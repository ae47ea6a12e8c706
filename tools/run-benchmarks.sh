#!/usr/bin/env bash
# Times the typical session through lxr4-script against the numpy script a user
# would otherwise write, as whole processes, alternating (bench/process_pairs),
# times ccdproc building masters (the peer of bench/reduce_bench.cpp),
# then runs every benchmark of bench/ and prints one short table.
#   tools/run-benchmarks.sh BUILD_DIR
# The session and its peer live in ../shared/bench beside the project (see its
# README; SHARED_BENCH names another folder); PAIRS pairs are timed (default 21:
# the machine's speed wanders, and the median of more pairs wanders less).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-build/release}")
shared=${SHARED_BENCH:-$root/../shared/bench}
# A git worktree kept elsewhere finds it beside the main checkout.
if [ -z "${SHARED_BENCH:-}" ] && [ ! -d "$shared" ] &&
   common=$(git -C "$root" rev-parse --path-format=absolute --git-common-dir 2>/dev/null); then
  shared=$(dirname "$common")/../shared/bench
fi
shared=$(realpath -m "$shared")
pairs=${PAIRS:-21}
python=/usr/bin/python3  # the system python, with numpy

if [ ! -f "$shared/session.lxs" ] || [ ! -f "$shared/peer_numpy.py" ]; then
  echo "run-benchmarks: no typical session in $shared (set SHARED_BENCH to its folder)" >&2
  exit 1
fi
# Both run in a copy of the folder: they read data/*.km1 and write into out/.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$shared"/. "$scratch"/
chmod -R u+w "$scratch"
mkdir -p "$scratch/out"

echo "typical session ($shared/session.lxs) against its numpy peer, $pairs pairs:"
"$build/bench/process_pairs" "$pairs" "$scratch" session peer \
  -- "$build/script/lxr4-script" session.lxs \
  -- "$python" peer_numpy.py data/lamp.km1 data/lamp.km1 out/peer.txt 300 5460.753 480 6402.246
echo "(goal: a median ratio of 0.10 or less, and the session's peak memory no higher than the peer's)"
echo

# Master frames, ours and ccdproc's, on 20 frames of REDUCE_BENCH_SIZE square
# (default 1024, about 1 GB for ccdproc; 4096, a full camera frame, takes it
# minutes and 13.5 GB). REDUCE_PEER=0 leaves ccdproc out.
export REDUCE_BENCH_SIZE=${REDUCE_BENCH_SIZE:-1024}
if [ "${REDUCE_PEER:-1}" != 0 ]; then
  echo "master frames: ccdproc's Combiner on 20 frames of $REDUCE_BENCH_SIZE x $REDUCE_BENCH_SIZE, the peer of reduce_bench's BM_Master*:"
  "$python" "$root/bench/reduce_peer_ccdproc.py" "$REDUCE_BENCH_SIZE" 3
  echo "(goal: BM_Master* in a third of these times or less)"
  echo
fi

printf '%-44s %14s %14s\n' "benchmark" "wall" "cpu"
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  QT_QPA_PLATFORM=offscreen "$bench" --benchmark_min_time=0.2 --benchmark_format=csv 2>/dev/null |
    awk -F, 'NR > 1 && $1 !~ /^"?name/ {
      gsub(/"/, "", $1); printf "%-44s %11.3f %s %11.3f %s\n", $1, $3, $5, $4, $5 }'
done
