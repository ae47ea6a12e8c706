# The two commands of the README: `make run` and `make test`. Each sets up the
# machine first (tools/setup.sh does nothing when all is present).

RELEASE := build/release
TEST := build/test
FUZZ := build/fuzz
JOBS ?= $(shell nproc)
# A test without a timeout of its own ends after this many seconds.
CTEST := ctest --timeout 300 --output-on-failure
STRESS_ROUNDS ?= 3

.PHONY: setup run build test-build test stress bench fuzz format package clean

setup:
	@tools/setup.sh

build: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLXR4_WERROR=ON -DLXR4_TESTS=OFF -DLXR4_BENCH=ON -DLXR4_STATIC_CXX_RUNTIME=ON
	ninja -C $(RELEASE) -j $(JOBS)

run: build
	$(RELEASE)/qt/lxr4

test-build: setup
	cmake -S . -B $(TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLXR4_SANITIZE=ON -DLXR4_WERROR=ON
	ninja -C $(TEST) -j $(JOBS)

test: test-build
	$(CTEST) --test-dir $(TEST) -j $(JOBS)

# The window tests, STRESS_ROUNDS times over, while two busy loops load the
# machine: a hang or a failure under load shows here. The loops end with it.
stress: test-build
	@trap 'kill $$busy1 $$busy2 2>/dev/null' EXIT INT TERM; \
	  (while :; do :; done) & busy1=$$!; \
	  (while :; do :; done) & busy2=$$!; \
	  $(CTEST) --test-dir $(TEST) -L window -j $(JOBS) --repeat until-fail:$(STRESS_ROUNDS)

bench: build
	tools/run-benchmarks.sh $(RELEASE)

# Fuzzes with libFuzzer for FUZZ_SECONDS each (default 600): the camera image
# reader (inputs up to 40,000 bytes, seeded with the samples and the committed
# corpus), the number texts with the header's key lines, whole random sessions,
# and the FITS reading path across its boundary (the program's checks here, and
# each file through the decoder process, whose crashes and hangs must end only
# the decoder; seeded with the crafted files of tests/fuzz/fits-corpus).
fuzz: setup
	CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLXR4_FUZZ=ON -DLXR4_WINDOW=OFF -DLXR4_TESTS=OFF
	ninja -C $(FUZZ) -j $(JOBS) reader_fuzz number_fuzz session_fuzz fits_fuzz
	mkdir -p $(FUZZ)/corpus/reader $(FUZZ)/corpus/number $(FUZZ)/corpus/session $(FUZZ)/corpus/fits
	$(FUZZ)/tests/fuzz/reader_fuzz -max_len=40000 -len_control=0 -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/reader tests/fuzz/corpus samples
	$(FUZZ)/tests/fuzz/number_fuzz -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/number
	$(FUZZ)/tests/fuzz/session_fuzz -timeout=20 -max_len=2048 -len_control=0 -artifact_prefix=$(CURDIR)/ -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/session
	ASAN_OPTIONS=allocator_may_return_null=1 $(FUZZ)/tests/fuzz/fits_fuzz -max_total_time=$${FUZZ_SECONDS:-600} \
	  -malloc_limit_mb=1000000 $(FUZZ)/corpus/fits tests/fuzz/fits-corpus

format:
	find base state app imagefile display spectrum calibration output platform measure reduce extract night batch tests bench tools \
	  -name '*.cpp' -o -name '*.h' | xargs clang-format -i

package: build
	ninja -C $(RELEASE) package

clean:
	rm -rf build
