# The front door. `make run` and `make test` do all the set-up on a fresh
# Debian 12 machine: packages, both builds, the Wine prefix, the stand-in.
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c
BUILD ?= build
NATIVE := $(BUILD)/native
WIN := $(BUILD)/win
export PELORIN_BUILD := $(abspath $(BUILD))
SCRIPTS := scripts
JOBS ?= $(shell nproc)

.PHONY: all deps native win prefix test test-native test-win run exe screenshot demo bench sanitize clean

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

test-win: prefix
	cd $(WIN) && $(CURDIR)/$(SCRIPTS)/with-wine.sh ctest --output-on-failure -j $(JOBS) | tee ctest.log

test: test-native test-win
	@$(SCRIPTS)/summary.sh $(NATIVE) $(WIN)

exe: win
	@mkdir -p dist && cp $(WIN)/pelorin.exe dist/pelorin.exe && echo "dist/pelorin.exe"

screenshot: prefix exe
	@$(SCRIPTS)/screenshot.sh dist/pelorin.png

run: prefix exe
	@$(SCRIPTS)/run.sh

demo: prefix exe
	@$(SCRIPTS)/demo.sh

bench: native
	@$(SCRIPTS)/bench.sh $(NATIVE)

clean:
	rm -rf build dist
