#!/usr/bin/env bash
# Takes the pictures of docs/user-guide.md anew: plays the typical session
# (tests/golden/typical-use/script.txt) on the real window under a virtual X
# display and saves docs/images/NAME.png at each "# shot NAME" line of it.
#   tools/make-guide-screenshots.sh [BUILD_DIR]
# BUILD_DIR (default build/release) is a build with the window; the tool is
# brought up to date in it first. Needs xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/release}")
session=$root/tests/golden/typical-use
images=$root/docs/images

ninja -C "$build" lxr4-guide-shots > /dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$session/script.txt" "$scratch"/
cp -r "$root/samples" "$scratch/samples"
mkdir -p "$images"

# Qt's settings (the file dialog's last folder) stay in the scratch folder. A
# sanitizer build would report the X platform's D-Bus buffers as leaks at exit.
(cd "$scratch" &&
  XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
    xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/tools/lxr4-guide-shots" script.txt "$images" > transcript.txt)

# The pictures are of the very session that the golden test checks.
if ! cmp -s "$scratch/transcript.txt" "$session/expected.txt"; then
  echo "warning: the window's transcript differs from $session/expected.txt" >&2
  diff -u "$session/expected.txt" "$scratch/transcript.txt" | head -40 >&2 || true
fi
echo "pictures in $images"
