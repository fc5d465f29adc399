# Twinseek: cross-built with MinGW-w64, run and tested under Wine.
#   make build   configure (first time) and build into build/
#   make test    set-up, build, run the tests under Wine on a private Xvfb
#                (CTEST_ARGS="-R Digest" to run some of them)
#   make run     set-up, build, start the program (screenshot when there is no display)
#   make bench   build and run the benchmarks
#   make bench-big  the window searching a million files (made once; a few minutes)
#   make dist    release build packed as dist/twinseek-<version>-win64.zip
#   make clean   remove build/ (with its Wine prefix)
BUILD ?= build
export TWINSEEK_BUILD := $(abspath $(BUILD))
CTEST_ARGS ?=
MAKEFLAGS += --no-print-directory

.PHONY: setup build test run bench bench-big dist clean

setup:
	tools/setup.sh

build:
	tools/build.sh

test:
	tools/setup.sh
	tools/build.sh
	tools/test.sh $(CTEST_ARGS)

run:
	tools/setup.sh
	tools/build.sh
	tools/run.sh

bench:
	tools/setup.sh
	tools/build.sh
	tools/bench.sh

bench-big:
	tools/setup.sh
	tools/build.sh
	tools/bench.sh big

dist:
	tools/setup.sh
	tools/dist.sh

clean:
	-@if [ -d $(BUILD)/wineprefix ]; then WINEPREFIX=$(TWINSEEK_BUILD)/wineprefix wineserver -k 2>/dev/null || true; fi
	rm -rf $(BUILD) build-release dist
