#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, test and run the program.
# Does nothing when everything is present.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config
  qt6-base-dev libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  libcfitsio-dev zlib1g-dev libseccomp-dev libcairo2-dev liberfa-dev
  python3-specutils python3-numpy python3-astropy  # tests and the benchmark's peer: read spectra back, numpy, astropy
  python3-ccdproc  # the masters' check and the peer of the masters' benchmark
  python3-astroscrappy python3-specreduce  # tests: the cosmic-ray mask and the boxcar against the references
  clang libclang-rt-14-dev
  xvfb xauth
  desktop-file-utils lintian groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
