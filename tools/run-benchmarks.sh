#!/usr/bin/env bash
# Runs every benchmark of bench/ and prints one short table, then times a whole
# typical session through lxr4-script from process start to exit.
#   tools/run-benchmarks.sh BUILD_DIR
set -euo pipefail
build=${1:-build/release}
session=tests/golden/typical-use

printf '%-44s %14s %14s\n' "benchmark" "wall" "cpu"
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  QT_QPA_PLATFORM=offscreen "$bench" --benchmark_min_time=0.2 --benchmark_format=csv 2>/dev/null |
    awk -F, 'NR > 1 && $1 !~ /^"?name/ {
      gsub(/"/, "", $1); printf "%-44s %11.3f %s %11.3f %s\n", $1, $3, $5, $4, $5 }'
done

if [ -f "$session/script.txt" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  cp -r "$session"/. "$scratch"/
  cp -r samples "$scratch"/samples
  script_exe=$(realpath "$build/platform/script/lxr4-script")
  runs=20
  start=$(date +%s%N)
  for _ in $(seq $runs); do (cd "$scratch" && "$script_exe" script.txt > /dev/null); done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n=$runs \
    'BEGIN { printf "%-44s %11.3f ms\n", "typical-use session, process start to exit", ns / n / 1e6 }'
fi
