# Trellin, the compositing viewer, with its image library xxgrp.dll, and
# Mornel, a Susie image plug-in for the Leaf game formats.
#   make run    build everything, convert and composite the sample pictures, show the viewer
#   make test   build everything and run every test, two steps at a time
#   make fuzz   the fuzzing campaign: every fuzzer for ten million inputs (a million 32-bit)
#   make bench  run the benchmarks

JOBS ?= 2
# The fuzzing campaign: inputs per fuzzer in each width.
FUZZ_RUNS ?= 10000000
FUZZ_RUNS_32 ?= 1000000
SMOKE_SECONDS ?= 3
CONFORMANCE ?= ../shared/conformance
# The conformance categories: every format.
CONFORMANCE_CATEGORIES ?= info,detect,tga,bbm,lfb,lff,lcf,lgf,cz1,cz2,px,px2,px3,px4,px5

# A build folder is configured once; later builds regenerate it as needed.
CONFIGURE = [ -f $(1)/Makefile ] || cmake -S . -B $(1) $(2) >/dev/null
CMAKE_BUILD = cmake --build $(1) -j $(JOBS) -- --no-print-directory
LINUX32 = -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-linux32.cmake
# clang builds the sanitized programs in a third of gcc's time.
CLANG = -DCMAKE_CXX_COMPILER=clang++
# 32-bit sanitized programs: LeakSanitizer cannot stop the world under the
# i386 emulator (it would hang at exit), and without a quarantine the
# allocator stays inside the address space it manages there. Our own
# counters still find every block a test leaves allocated.
ASAN32 = ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=0:thread_local_quarantine_size_kb=0
PLUGIN32 = MORNEL_PLUGIN='Z:$(subst /,\,$(CURDIR))\dist\win32\Mornel.spi'
PLUGIN64 = MORNEL_PLUGIN='Z:$(subst /,\,$(CURDIR))\dist\win64\Mornel.sph'
# The Windows tests of the viewer's ANSI side (the settings file, the
# plug-in names) expect code page 932, which Wine takes from this locale.
JAPANESE = LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

# Every test step; each names the builds it needs, and `make test` runs
# them two at a time, the longest (the viewer's 64-bit passes) first.
TESTS = test-viewer64 test-native test-native32 test-limits test-shell test-windows test-windows32 test-xxgrp \
        test-engine-windows test-spicompose test-spiconv test-conversions check-dlls fuzz-smoke conformance conformance32 \
        test-gui-inprocess test-codec
# Runs after the others, alone: with the processors busy, Wine's 32-bit
# common dialogs under the i386 emulator stall more often, and the drag
# steps a second are measured on an idle machine.
LAST_TEST = test-viewer32

.PHONY: all deps native native32 release win32 win64 fuzzers fuzzers32 test $(TESTS) $(LAST_TEST) test-viewer fuzz bench run \
        clean

all: native native32 release win32 win64 fuzzers fuzzers32

deps:
	@scripts/install-deps.sh

native: deps
	@$(call CONFIGURE,build/native,-DCMAKE_BUILD_TYPE=Debug -DMORNEL_SANITIZE=ON $(CLANG))
	@$(call CMAKE_BUILD,build/native)

# The portable core and its tests again with a 32-bit size_t.
native32: deps
	@$(call CONFIGURE,build/native32,-DCMAKE_BUILD_TYPE=Debug -DMORNEL_SANITIZE=ON $(CLANG) $(LINUX32))
	@$(call CMAKE_BUILD,build/native32)

release: deps
	@$(call CONFIGURE,build/release,-DCMAKE_BUILD_TYPE=Release -DMORNEL_BENCH=ON -DMORNEL_TESTS=OFF)
	@$(call CMAKE_BUILD,build/release)

win32 win64: deps
	@$(call CONFIGURE,build/$@,-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$@.cmake)
	@$(call CMAKE_BUILD,build/$@)
	@mkdir -p dist/$@
	@cp build/$@/Mornel.s* build/$@/spiconv.exe build/$@/xxgrp/xxgrp.dll build/$@/viewer/spicompose.exe build/$@/viewer/Trellin.exe \
	    build/$@/codec/MornelCodec$(subst win,,$@).dll dist/$@/
	@scripts/package.sh $(subst win,,$@)

FUZZ_CONFIG = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORNEL_FUZZ=ON $(CLANG)
fuzzers: deps
	@$(call CONFIGURE,build/fuzz,$(FUZZ_CONFIG))
	@$(call CMAKE_BUILD,build/fuzz)

fuzzers32: deps
	@$(call CONFIGURE,build/fuzz32,$(FUZZ_CONFIG) $(LINUX32))
	@$(call CMAKE_BUILD,build/fuzz32)

test: deps
	@rm -rf build/step-times
	@$(MAKE) --no-print-directory -j $(JOBS) --output-sync=target $(TESTS)
	@$(MAKE) --no-print-directory $(LAST_TEST)
	@echo "all tests passed; seconds per step (two steps run at a time):"
	@for f in build/step-times/*; do printf '  %-20s %5d\n' "$${f##*/}" "$$(awk '{s += $$1} END {print s}' "$$f")"; done

# Each step's recipe lines are timed (not the builds they need).
$(TESTS) $(LAST_TEST): private SHELL = scripts/step-shell.sh
$(TESTS) $(LAST_TEST): private export STEP = $@

test-native: native
	@build/native/tests/mornel_tests --gtest_brief=1
	@build/native/tests/trellin_engine_tests --gtest_brief=1
	@build/native/tests/xxgrp_tests --gtest_brief=1
	@build/native/tests/codec/codec_tests --gtest_brief=1

test-native32: native32
	@$(ASAN32) build/native32/tests/mornel_tests --gtest_brief=1
	@$(ASAN32) build/native32/tests/trellin_engine_tests --gtest_brief=1
	@$(ASAN32) build/native32/tests/xxgrp_tests --gtest_brief=1
	@$(ASAN32) build/native32/tests/codec/codec_tests --gtest_brief=1

# Every header field at its limits: the two widths must answer alike.
test-limits: native native32
	@build/native/tests/limit_sweep >build/limits64.txt 2>build/limits64.log || { cat build/limits64.log; exit 1; }
	@$(ASAN32) build/native32/tests/limit_sweep >build/limits32.txt 2>build/limits32.log || { cat build/limits32.log; exit 1; }
	@diff build/limits64.txt build/limits32.txt >build/limits.diff || \
	  { echo "limit sweep: the 32-bit and 64-bit builds answer differently:"; head -20 build/limits.diff; exit 1; }
	@echo "limit sweep: $$(wc -l <build/limits64.txt) cases, the same result in both widths"

test-windows: win64
	@$(PLUGIN64) scripts/wine.sh tests build/win64/tests/mornel_windows_tests.exe --gtest_brief=1

test-windows32: win32
	@$(PLUGIN32) scripts/wine.sh --bits 32 tests build/win32/tests/mornel_windows_tests.exe --gtest_brief=1

# The viewer shell: its logic natively in both widths, its Windows adapters
# and resources under Wine in both widths.
test-shell: native native32 win32 win64
	@build/native/tests/shell/trellin_shell_tests --gtest_brief=1
	@$(ASAN32) build/native32/tests/shell/trellin_shell_tests --gtest_brief=1
	@$(JAPANESE) scripts/wine.sh shell build/win64/tests/shell/trellin_shell_windows_tests.exe --gtest_brief=1
	@$(JAPANESE) scripts/wine.sh --bits 32 shell build/win32/tests/shell/trellin_shell_windows_tests.exe --gtest_brief=1

# The viewer's frame, view and dialogs of both widths in one process each.
test-gui-inprocess: win32 win64
	@scripts/test-gui-inprocess.sh

# The real Trellin.exe of both widths as a user works it, on a virtual
# display, under the Japanese and the English locale (English texts, and
# Japanese ones where the settings file chooses them), with pictures in a
# folder of any script and on a 144-dpi display; also reports how fast a
# drag step repaints. ONLY=SCENARIO[,SCENARIO...] runs just those. In
# `make test` its two halves run: the 64-bit passes beside the other steps,
# the 32-bit ones and the speed pass last.
test-viewer: win32 win64
	@scripts/test-viewer.sh $(if $(ONLY),--only $(ONLY)) 64 unicode english english-ja dpi 32 english32 speed

test-viewer64: win32 win64
	@scripts/test-viewer.sh 64 unicode english english-ja dpi

test-viewer32: win32 win64
	@scripts/test-viewer.sh 32 english32 speed

test-conversions: release win32 win64
	@scripts/test-conversions.sh

test-xxgrp: win32 win64
	@scripts/test-xxgrp.sh

test-engine-windows: win32 win64
	@scripts/test-engine-windows.sh

test-spicompose: win32 win64
	@scripts/test-spicompose.sh

# spiconv: its portable part natively in both widths, the program under
# Wine in both widths.
test-spiconv: native native32 release win32 win64
	@build/native/tests/spiconv/spiconv_tests --gtest_brief=1
	@$(ASAN32) build/native32/tests/spiconv/spiconv_tests --gtest_brief=1
	@scripts/test-spiconv.sh

# The WIC codec and thumbnail provider of both widths under Wine, each in a
# prefix of its own: registered with regsvr32 (machine-wide and for the
# user), every sample through the imaging factory against the plug-in,
# thumbnails, hostile streams, unregistered.
test-codec: win32 win64
	@scripts/test-codec.sh

check-dlls: win32 win64
	@scripts/check-dlls.sh

# The 64-bit fuzzers only: the 32-bit ones, a build of their own run through
# the i386 emulator, are left to the campaign to keep `make test` within its
# time; the 32-bit size arithmetic is tested by native32 and the limit sweep.
fuzz-smoke: fuzzers native release
	@scripts/fuzz.sh --seconds $(SMOKE_SECONDS)

# Every fuzzer for FUZZ_RUNS inputs (64-bit), then FUZZ_RUNS_32 (32-bit);
# the grown corpora are kept under fuzz/seeds.
fuzz: fuzzers fuzzers32 native release
	@scripts/fuzz.sh --runs $(FUZZ_RUNS) --keep
	@scripts/fuzz.sh --bits 32 --runs $(FUZZ_RUNS_32) --keep

conformance: win64
	@scripts/conformance.sh $(CONFORMANCE) $(CONFORMANCE_CATEGORIES)

conformance32: win32
	@scripts/conformance.sh $(CONFORMANCE) $(CONFORMANCE_CATEGORIES) 32

bench: release
	@for b in build/release/bench/bench_*; do $$b --benchmark_min_time=0.2; done

run: all
	@scripts/run-samples.sh

clean:
	rm -rf build dist out samples
