#!/usr/bin/env bash
# Takes the pictures of docs/user-guide.md anew: plays the typical session
# (tests/golden/typical-use/script.txt) the FITS sessions (export-fits,
# fits-import-settings) and the sessions of the calibration over many lines on the real window under a virtual X display and saves
# docs/images/NAME.png at each "# shot NAME" line of them.
#   tools/make-guide-screenshots.sh [BUILD_DIR]
# BUILD_DIR (default build/release) is a build with the window; the tool is
# brought up to date in it first. Needs xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/release}")
images=$root/docs/images
scratch=
trap 'rm -rf "$scratch"' EXIT

ninja -C "$build" lxr4-guide-shots lxr4-fits-decoder > /dev/null
decoder=$(find "$build" -name lxr4-fits-decoder -type f | head -1)
mkdir -p "$images"
for name in typical-use export-fits fits-import-settings calib-identify-save calib-instrument calib-auto calib-auto-start measure-frame reduce-night; do
  session=$root/tests/golden/$name
  scratch=$(mktemp -d)
  # The case's own files (script, frames), not its expectations.
  find "$session" -maxdepth 1 -type f ! -name 'expected*' -exec cp {} "$scratch"/ \;
  cp -r "$root/samples" "$scratch/samples"
  # The FITS decoder is looked for beside the program.
  cp "$build/tools/lxr4-guide-shots" "$decoder" "$scratch"/

  # Qt's settings (the file dialog's last folder) stay in the scratch folder. A
  # sanitizer build would report the X platform's D-Bus buffers as leaks at exit.
  (cd "$scratch" &&
    XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
      xvfb-run -a -s "-screen 0 1024x768x24" \
      ./lxr4-guide-shots script.txt "$images" > transcript.txt)

  # The pictures are of the very session that the golden test checks.
  if ! cmp -s "$scratch/transcript.txt" "$session/expected.txt"; then
    echo "warning: the window's transcript differs from $session/expected.txt" >&2
    diff -u "$session/expected.txt" "$scratch/transcript.txt" | head -40 >&2 || true
  fi
  rm -rf "$scratch"
done

# The Spectrum view's pictures from the real SPRAT xenon arc
# (tools/guide-view.lxs): its plots (the same pixels in either front end) and
# its window. The FITS decoder is looked for beside the program.
scratch=$(mktemp -d)
cp "$root/tests/imagefile/data/v_a_20190516_55_1_0_1.fits" "$scratch/sprat-xe.fits"
cp "$build/tools/lxr4-guide-shots" "$decoder" "$scratch"/
(cd "$scratch" &&
  XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
    xvfb-run -a -s "-screen 0 1024x768x24" ./lxr4-guide-shots "$root/tools/guide-view.lxs" . > transcript.txt)
cp "$scratch"/view-*.png "$images"/
echo "pictures in $images"
