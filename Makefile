# Mornel: a Susie image plug-in for the Leaf game formats.
#   make run    build everything and convert the sample pictures under Wine
#   make test   build everything and run every test
#   make fuzz   run every fuzzer for longer (FUZZ_SECONDS, default 300)
#   make bench  run the benchmarks

JOBS ?= 2
FUZZ_SECONDS ?= 300
SMOKE_SECONDS ?= 15
CONFORMANCE ?= ../shared/conformance
# The conformance categories: every format.
CONFORMANCE_CATEGORIES ?= info,detect,tga,bbm,lfb,lff,lcf,lgf,cz1,cz2,px,px2,px3,px4,px5

# A build folder is configured once; later builds regenerate it as needed.
CONFIGURE = [ -f $(1)/Makefile ] || cmake -S . -B $(1) $(2) >/dev/null
CMAKE_BUILD = cmake --build $(1) -j $(JOBS) -- --no-print-directory

.PHONY: all deps native release win32 win64 fuzzers test test-native test-windows check-dlls \
        fuzz-smoke fuzz conformance bench run clean

all: native release win32 win64 fuzzers

deps:
	@scripts/install-deps.sh

native: deps
	@$(call CONFIGURE,build/native,-DCMAKE_BUILD_TYPE=Debug -DMORNEL_SANITIZE=ON)
	@$(call CMAKE_BUILD,build/native)

release: deps
	@$(call CONFIGURE,build/release,-DCMAKE_BUILD_TYPE=Release -DMORNEL_BENCH=ON)
	@$(call CMAKE_BUILD,build/release)

win32 win64: deps
	@$(call CONFIGURE,build/$@,-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$@.cmake)
	@$(call CMAKE_BUILD,build/$@)
	@mkdir -p dist/$@
	@cp build/$@/Mornel.s* build/$@/spiconv.exe dist/$@/

fuzzers: deps
	@$(call CONFIGURE,build/fuzz,-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORNEL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++)
	@$(call CMAKE_BUILD,build/fuzz)

test: all
	@$(MAKE) --no-print-directory test-native test-windows check-dlls fuzz-smoke conformance
	@echo "all tests passed"

test-native: native
	@build/native/tests/mornel_tests --gtest_brief=1
	@build/native/tests/trellin_engine_tests --gtest_brief=1

test-windows: win64
	@MORNEL_PLUGIN='Z:$(subst /,\,$(CURDIR))\dist\win64\Mornel.sph' \
	  scripts/wine.sh tests build/win64/tests/mornel_windows_tests.exe --gtest_brief=1

check-dlls: win32 win64
	@scripts/check-dlls.sh

fuzz-smoke: fuzzers
	@scripts/fuzz.sh $(SMOKE_SECONDS)

fuzz: fuzzers
	@scripts/fuzz.sh $(FUZZ_SECONDS)

conformance: win64
	@scripts/conformance.sh $(CONFORMANCE) $(CONFORMANCE_CATEGORIES)

bench: release
	@for b in build/release/bench/bench_*; do $$b --benchmark_min_time=0.2; done

run: all
	@scripts/run-samples.sh

clean:
	rm -rf build dist out samples
