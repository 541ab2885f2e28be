# The front door. `make run` and `make test` do all the set-up on a fresh
# Debian 12 machine: packages, both builds, the Wine prefix, the stand-in.
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c
BUILD ?= build
NATIVE := $(BUILD)/native
WIN := $(BUILD)/win
SAN := $(BUILD)/sanitize
TSAN := $(BUILD)/thread
export PELORIN_BUILD := $(abspath $(BUILD))
SCRIPTS := scripts
JOBS ?= $(shell nproc)

.PHONY: all deps native win prefix test test-native test-win sanitize-build test-sanitize test-thread fuzz soak run exe screenshot demo shots bench bench-win clean

all: native win

deps:
	@$(SCRIPTS)/deps.sh

native: deps
	@[ -f $(NATIVE)/build.ninja ] || cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win: deps
	@[ -f $(WIN)/build.ninja ] || cmake -S . -B $(WIN) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

prefix: win
	@$(SCRIPTS)/wine-prefix.sh
	@$(SCRIPTS)/standin.sh register

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS) | tee ctest.log

# A Wine test that fails is run once more: about one full run in fifteen
# saw a test pass and its Wine process still end non-zero. A real failure
# fails twice; a retried one stays visible in ctest.log.
test-win: prefix
	cd $(WIN) && $(CURDIR)/$(SCRIPTS)/with-wine.sh ctest --output-on-failure -j $(JOBS) \
	    --repeat until-pass:2 | tee ctest.log

# The native tests again under AddressSanitizer + UndefinedBehaviorSanitizer
# (clang), and a short run of every fuzz target over its corpus.
sanitize-build: deps
	@[ -f $(SAN)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(SAN) -G Ninja \
	    -DCMAKE_BUILD_TYPE=Debug -DPELORIN_SANITIZE=ON -DPELORIN_FUZZ=ON >/dev/null
	@cmake --build $(SAN) -j $(JOBS)

test-sanitize: sanitize-build
	cd $(SAN) && ctest --output-on-failure -j $(JOBS) | tee ctest.log

# The tests that run the listing workers, under ThreadSanitizer (clang):
# about half a minute once built.
test-thread: deps
	@[ -f $(TSAN)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(TSAN) -G Ninja \
	    -DCMAKE_BUILD_TYPE=Debug -DPELORIN_THREAD_SANITIZE=ON >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target unit_tests
	cd $(TSAN) && ./unit_tests --gtest_filter='ListingPool*:*AddFolder*:Scan*' | tail -n 3

fuzz: sanitize-build
	@$(SCRIPTS)/fuzz.sh $(SAN) $(FUZZ_SECONDS)

FUZZ_SECONDS ?= 10

# The randomized click sequences at length, under the sanitizers:
# SOAK_SEEDS sequences of each kind (a failing seed is printed).
SOAK_SEEDS ?= 20000
soak: sanitize-build
	cd $(SAN) && time PELORIN_SOAK_SEEDS=$(SOAK_SEEDS) ./unit_tests --gtest_filter='RandomSequences*'

test: test-native test-sanitize test-thread fuzz test-win
	@$(SCRIPTS)/summary.sh $(NATIVE) $(SAN) $(WIN)

exe: win
	@mkdir -p dist && cp $(WIN)/pelorin.exe dist/pelorin.exe && echo "dist/pelorin.exe"

screenshot: prefix exe
	@$(SCRIPTS)/screenshot.sh dist/pelorin.png

run: prefix exe
	@$(SCRIPTS)/run.sh

demo: prefix exe
	@$(SCRIPTS)/demo.sh

# The real window as each Wine test on it leaves it, as PNGs in dist/shots/.
shots: prefix
	@$(SCRIPTS)/test-shots.sh $(FILTER)

bench: native
	@$(SCRIPTS)/bench.sh native $(NATIVE)

# Add Folder on the real window under Wine over the benchmark tree.
bench-win: prefix
	@$(SCRIPTS)/bench.sh win $(WIN)

clean:
	rm -rf build dist
