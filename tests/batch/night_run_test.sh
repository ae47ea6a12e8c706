#!/bin/sh
# night_run_test.sh MAKE_NIGHT LXR4_REDUCE: lxr4-reduce on a synthetic night:
# the exit statuses, the failing frame named, the spectra against the truth.
set -u
make_night=$1 reduce=$2
fail() { echo "FAIL: $*"; exit 1; }
rm -rf night && "$make_night" write night || fail "the night could not be written"

"$reduce" --dry-run night/night.toml > dry.txt 2>&1 || fail "--dry-run did not exit 0"
grep -q "raw/obj2.fits -> .*out/obj2.fits .*out/obj2.csv" dry.txt || fail "--dry-run: $(cat dry.txt)"
[ ! -e night/out ] || fail "--dry-run wrote the output folder"

"$reduce" --jobs 2 night/night.toml > summary.txt 2> log.txt
status=$?
cat log.txt summary.txt
[ "$status" = 1 ] || fail "exit status $status, not 1 with a frame failed"
grep -q "^failed: 1 frame: obj3.fits$" summary.txt || fail "the failed frame is not named last"
grep -q "^obj3.fits  *failed  *300.0 s  *-  *-  *No trace of the object was found." summary.txt || fail "obj3's reason"
grep -q "^obj1.fits  *ok  *300.0 s  *0.0[0-9]* px  *398[0-9.]*-69[0-9.]* A  *obj1.fits, obj1.csv$" summary.txt || fail "obj1's row"
grep -q "re-identified on arc1.fits" log.txt && grep -q "re-identified on arc2.fits" log.txt || fail "the lamps"
grep -q "^\[[123]/3\] obj3.fits failed: No trace of the object was found" log.txt || fail "no progress line for obj3"
"$make_night" check night || fail "the spectra do not match the truth"

# A saved response divides every spectrum: one of 2 everywhere halves the values.
printf 'wavelength_angstrom,response\n3000,2\n9000,2\n' > night/response.csv
sed 's/^output = "out"/output = "relative"/' night/night.toml > night/relative.toml
printf '[response]\nfile = "response.csv"\n' >> night/relative.toml
"$reduce" night/relative.toml > relative.txt 2>&1
[ $? = 1 ] || fail "the run with a response: $(cat relative.txt)"
head -1 night/relative/obj1.csv | grep -q "relative_flux" || fail "the CSV does not say relative flux"
paste -d, night/out/obj1.csv night/relative/obj1.csv | awk -F, 'NR > 1 && ($3 / 2 - $6 > 1e-6 * ($3 < 0 ? -$3 : $3) + 1e-9 || $6 - $3 / 2 > 1e-6 * ($3 < 0 ? -$3 : $3) + 1e-9) { bad = 1 } END { exit bad }' ||
  fail "the relative flux is not the counts over the response"
# A response over part of the spectrum: the pixels beyond it are left out, the rest keep their numbers.
printf 'wavelength_angstrom,response\n4500,2\n6500,2\n' > night/response.csv
"$reduce" night/relative.toml > partial.txt 2>&1
first=$(sed -n 2p night/relative/obj1.csv | cut -d, -f1,2)
[ "${first%%,*}" -gt 1 ] || fail "no pixel was left out before the response's range: $first"
grep -q "^$first," night/out/obj1.csv || fail "the first pixel kept, $first, is not that pixel of the spectrum"
printf 'wavelength_angstrom,response\n3000,2\n2000,2\n' > night/response.csv
"$reduce" night/relative.toml > badresponse.txt 2>&1
[ $? = 2 ] || fail "a response that does not rise is not status 2"

# A second run reuses the saved masters; a bad night file is status 2.
printf '[masters]\nbias-master = "out/master-bias.fits"\n[objects]\nframes = ["raw/obj1.fits"]\noutput = "again"\n' > night/again.toml
"$reduce" night/again.toml > again.txt 2>&1 || fail "the run with a saved master: $(cat again.txt)"
grep -q "master bias read from master-bias.fits" again.txt || fail "the saved master was not read"
printf '[objects]\nframes = ["raw/obj1.fits"]\nspeed = 3\n' > night/bad.toml
"$reduce" night/bad.toml > bad.txt 2>&1
[ $? = 2 ] || fail "a bad night file is not status 2"
grep -q 'line 3: unknown key "speed" in \[objects\]' bad.txt || fail "bad night file message: $(cat bad.txt)"
"$reduce" --jobs 0 night/night.toml > /dev/null 2>&1
[ $? = 2 ] || fail "--jobs 0 is not status 2"
# Two frames of one name in two folders would write the same spectra.
mkdir -p night/raw/b && cp night/raw/obj1.fits night/raw/b/
printf 'raw/obj1.fits\nraw/b/obj1.fits\n' > night/twice.txt
"$reduce" night/twice.txt > twice.txt 2>&1
[ $? = 2 ] || fail "two frames of one name are not status 2"
grep -q "would write spectra of the same name" twice.txt || fail "two frames of one name: $(cat twice.txt)"
echo "ok"
