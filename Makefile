# The two commands of the README: `make run` and `make test`. Each sets up the
# machine first (tools/setup.sh does nothing when all is present).

RELEASE := build/release
TEST := build/test
FUZZ := build/fuzz
JOBS ?= $(shell nproc)

.PHONY: setup run build test bench fuzz format package clean

setup:
	@tools/setup.sh

build: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLXR4_TESTS=OFF -DLXR4_BENCH=ON
	ninja -C $(RELEASE) -j $(JOBS)

run: build
	$(RELEASE)/platform/qt/lxr4

test: setup
	cmake -S . -B $(TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLXR4_SANITIZE=ON
	ninja -C $(TEST) -j $(JOBS)
	ctest --test-dir $(TEST) --output-on-failure -j $(JOBS)

bench: build
	tools/run-benchmarks.sh $(RELEASE)

# Fuzzes with libFuzzer for FUZZ_SECONDS each (default 600): the camera image
# reader (inputs up to 40,000 bytes, seeded with the samples and the committed
# corpus), the number texts with the header's key lines, and whole random sessions.
fuzz: setup
	CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLXR4_FUZZ=ON -DLXR4_WINDOW=OFF -DLXR4_TESTS=OFF
	ninja -C $(FUZZ) -j $(JOBS) reader_fuzz number_fuzz session_fuzz
	mkdir -p $(FUZZ)/corpus/reader $(FUZZ)/corpus/number $(FUZZ)/corpus/session
	$(FUZZ)/tests/fuzz/reader_fuzz -max_len=40000 -len_control=0 -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/reader tests/fuzz/corpus samples
	$(FUZZ)/tests/fuzz/number_fuzz -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/number
	$(FUZZ)/tests/fuzz/session_fuzz -timeout=20 -max_len=2048 -len_control=0 -artifact_prefix=$(CURDIR)/ -max_total_time=$${FUZZ_SECONDS:-600} $(FUZZ)/corpus/session

format:
	find app imagefile display spectrum calibration output platform tests bench tools \
	  -name '*.cpp' -o -name '*.h' | xargs clang-format -i

package: build
	cd $(RELEASE) && cpack -G DEB

clean:
	rm -rf build
