# The front door. `make run` and `make test` do all the set-up on a fresh
# Debian 12 machine: packages, both builds, the Wine prefix, the stand-in.
# The build targets themselves never install anything (`make deps` does).
# The builds are configured from the presets in CMakePresets.json.
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
# The program's file name, as src/app/version.h gives it.
EXE := $(shell sed -n 's/^\#define PELORIN_EXE_NAME "\(.*\)"$$/\1/p' src/app/version.h)
# ctest's results as JUnit XML in each build folder, for CI and the summary.
JUNIT := junit.xml

.PHONY: all deps native win prefix test test-native test-win sanitize-build test-sanitize test-thread fuzz soak run exe dist screenshot demo shots bench bench-win bench-cli clean

all: native win

deps:
	@$(SCRIPTS)/deps.sh

# Configured once per build folder; -B keeps BUILD=dir working with the presets.
native:
	@[ -f $(NATIVE)/build.ninja ] || cmake --preset native -B $(NATIVE) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win:
	@[ -f $(WIN)/build.ninja ] || cmake --preset win -B $(WIN) >/dev/null
	@cmake --build $(WIN) -j $(JOBS)

# The native tests again under AddressSanitizer + UndefinedBehaviorSanitizer
# (clang), and the fuzz targets.
sanitize-build:
	@[ -f $(SAN)/build.ninja ] || cmake --preset sanitize -B $(SAN) >/dev/null
	@cmake --build $(SAN) -j $(JOBS)

prefix: win
	@$(SCRIPTS)/wine-prefix.sh
	@$(SCRIPTS)/standin.sh register

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS) --output-junit $(JUNIT)

test-sanitize: sanitize-build
	cd $(SAN) && ctest --output-on-failure -j $(JOBS) --output-junit $(JUNIT)

# Each Wine test runs once: a test that fails, or whose Wine process ends
# non-zero after it passed, fails the run (wine-run.sh names the exit code).
# The stand-in's profile starts empty, as in a new prefix: stores an earlier
# run left behind (a test stopped half-way) would change what list reports.
test-win: prefix
	@$(SCRIPTS)/standin.sh reset
	cd $(WIN) && $(CURDIR)/$(SCRIPTS)/with-wine.sh ctest --output-on-failure -j $(JOBS) \
	    --output-junit $(JUNIT)

# The tests that run the listing workers, under ThreadSanitizer (clang):
# about half a minute once built.
test-thread:
	@[ -f $(TSAN)/build.ninja ] || cmake --preset thread -B $(TSAN) >/dev/null
	@cmake --build $(TSAN) -j $(JOBS) --target unit_tests
	cd $(TSAN) && ./unit_tests --gtest_filter='ListingPool*:*AddFolder*:Scan*' | tail -n 3

FUZZ_SECONDS ?= 10
# A short run of every fuzz target over its corpus.
fuzz: sanitize-build
	@$(SCRIPTS)/fuzz.sh $(SAN) $(FUZZ_SECONDS)

# The randomized click sequences at length, under the sanitizers:
# SOAK_SEEDS sequences of each kind (a failing seed is printed). 4000 of
# each end within ten minutes on a busy 2-core machine: about 40 s of
# processor time.
SOAK_SEEDS ?= 4000
soak: sanitize-build
	cd $(SAN) && time PELORIN_SOAK_SEEDS=$(SOAK_SEEDS) ./unit_tests --gtest_filter='RandomSequences*'

# Every step runs even when an earlier one fails, so the last line always
# counts them all: "tests: N passed, M failed" (CI reads it).
test:
	@$(SCRIPTS)/deps.sh
	@rm -f $(NATIVE)/$(JUNIT) $(SAN)/$(JUNIT) $(WIN)/$(JUNIT)
	@rc=0; \
	for step in test-native test-sanitize test-thread fuzz test-win; do \
	    $(MAKE) --no-print-directory $$step || rc=1; \
	done; \
	$(SCRIPTS)/summary.sh $$rc $(NATIVE)/$(JUNIT) $(SAN)/$(JUNIT) $(WIN)/$(JUNIT)

exe: win
	@mkdir -p dist && cp $(WIN)/$(EXE) dist/$(EXE) && echo "dist/$(EXE)"

# dist/: the zip (both programs, the README, SHA256SUMS), the Windows
# Installer package and SHA256SUMS over both. SIGN_PKCS12=FILE
# SIGN_PASSWORD_FILE=FILE [SIGN_TIMESTAMP_URL=URL] signs the programs and the package.
dist: win
	@SIGN_PKCS12='$(SIGN_PKCS12)' SIGN_PASSWORD_FILE='$(SIGN_PASSWORD_FILE)' \
	    SIGN_TIMESTAMP_URL='$(SIGN_TIMESTAMP_URL)' $(SCRIPTS)/dist.sh $(WIN)

screenshot: prefix exe
	@$(SCRIPTS)/screenshot.sh dist/pelorin.png

run:
	@$(SCRIPTS)/deps.sh
	@$(MAKE) --no-print-directory prefix exe
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

# pelorin-cli against a cscript loop making the same Outlook calls, both
# under Wine against the stand-in, with profiles of 250 and 1,000 stores.
bench-cli: prefix
	@$(SCRIPTS)/with-wine.sh python3 $(SCRIPTS)/bench-cli.py $(WIN)

clean:
	rm -rf build dist
