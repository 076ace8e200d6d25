# Pyxet: the three commands. Each installs what is missing first.
#   make run   - build, then start the program under Wine (scripts/run.sh)
#   make test  - build, then run every test layer through CTest
#   make dist  - build the distributable folder build/dist/
# and the picture of each box and dialog in docs/screenshots/:
#   make screenshots
# and for those who make driver CDs:
#   make tools  - build the settings-file checker build/bin/pyxet-check, and
#                 build/bin/pyxet-check.exe for 64-bit Windows
#   make cd-folder DEST=FOLDER - start a driver CD folder of one's own
#   make iso    - check a folder (DIST=FOLDER, default build/dist/), then make
#                 the CD image build/pyxet.iso (LABEL=NAME, default PYXET)
#   make floppy - the same for the floppy image build/pyxet.img
# and for hardening:
#   make fuzz  - run every fuzz target for FUZZ_SECONDS seconds (default 60)
#   make lint  - clang-tidy and cppcheck over src/ with the i386 build's flags
#   make bench - sizes against budgets, start-up time, CPU use while waiting
#   make soak  - SOAK_RUNS (default 200) random whole runs under Wine; SOAK_SEED repeats one

BUILD := $(CURDIR)/build
WIN32_DIR := $(BUILD)/win32
WIN64_DIR := $(BUILD)/win64
NATIVE_DIR := $(BUILD)/native
BIN_DIR := $(BUILD)/bin
JOBS := 2
FUZZ_SECONDS ?= 60
SOAK_RUNS ?= 200
SOAK_SEED ?=
# Wine's debug channels that make soak keeps in build/wine-session/wine-debug.log;
# after a failed run the soak prints what that run added.
SOAK_WINEDEBUG ?= +process
# The driver CD tools: the folder an image is made of (never written to),
# the volume label, and ALL=1 to keep packages no row uses.
TOOLS_DIR := $(BUILD)/tools
TOOLS_WIN64_DIR := $(BUILD)/tools-win64
DIST ?=
LABEL ?= PYXET
ALL ?=
DEST ?=
IMAGE_DIST = $(if $(DIST),$(DIST),$(BUILD)/dist)

# The build that runs under Wine: i386 (the shipped one) where 32-bit code
# executes, else win64, the test-only x86_64 build of the same sources.
# E2E_FLAVOUR=i386 or E2E_FLAVOUR=win64 forces one. Expanded only inside
# recipes, after install-deps.sh has installed Wine.
E2E_FLAVOUR ?=
FLAVOUR = $(shell sh scripts/e2e-flavour.sh $(E2E_FLAVOUR))

# Every PE file's time stamp: the commit's time, so that two builds of one
# commit give the same bytes (cmake/reproducible.cmake). The linker reads it
# from the environment; SOURCE_DATE_EPOCH=N sets another.
SOURCE_DATE_EPOCH ?= $(shell git -C $(CURDIR) log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

# Each command installs the package groups it needs (scripts/install-deps.sh).
DEPS = sh scripts/install-deps.sh

CONFIGURE_NATIVE = cmake -S . -B $(NATIVE_DIR) -DPYXET_WIN32_DIR=$(WIN32_DIR) -DPYXET_WIN64_DIR=$(WIN64_DIR) \
    -DPYXET_DIST_DIR=$(BUILD)/dist -DPYXET_E2E_FLAVOUR=$(FLAVOUR) -DPYXET_BIN_DIR=$(BIN_DIR) >/dev/null

.PHONY: all win32 win64 e2e-build native dist run test screenshots checker tools cd-folder iso floppy fuzz lint bench soak clean

all: dist

win32:
	@$(DEPS) program
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE= -DPYXET_DIST_DIR=$(BUILD)/dist >/dev/null
	cmake --build $(WIN32_DIR) -j$(JOBS)

# Test-only: never shipped, never judged by the binary checks.
win64:
	@$(DEPS) program wine
	cmake -S . -B $(WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE= -DPYXET_DIST_DIR=$(WIN64_DIR)/dist >/dev/null
	cmake --build $(WIN64_DIR) -j$(JOBS)

# The Windows programs that run under Wine here.
e2e-build: win32
	@$(DEPS) wine
	@if [ "$(FLAVOUR)" = win64 ]; then $(MAKE) --no-print-directory win64; fi

native:
	@$(DEPS) test
	$(CONFIGURE_NATIVE)
	cmake --build $(NATIVE_DIR) -j$(JOBS)

dist: win32

run: e2e-build
	PYXET_E2E_FLAVOUR=$(FLAVOUR) sh scripts/run.sh

test: e2e-build native tools
	@cd $(NATIVE_DIR) && status=0 && \
	    ctest --output-on-failure -j$(JOBS) --output-junit $(NATIVE_DIR)/results.xml || status=$$?; \
	    sh $(CURDIR)/scripts/e2e-summary.sh $(NATIVE_DIR)/results.xml $(FLAVOUR); exit $$status

screenshots: e2e-build
	PYXET_E2E_FLAVOUR=$(FLAVOUR) sh scripts/screenshots.sh

# The tools alone: a build of their own, which neither needs nor asks for
# Wine; and the checker again for 64-bit Windows, cross-compiled. The images
# need only the native checker, and so neither the x86_64 cross compiler.
checker:
	@$(DEPS) checker
	cmake -S . -B $(TOOLS_DIR) -DPYXET_TOOLS_ONLY=ON -DPYXET_BIN_DIR=$(BIN_DIR) >/dev/null
	cmake --build $(TOOLS_DIR) -j$(JOBS) --target pyxet_check

tools: checker
	@$(DEPS) tools
	cmake -S . -B $(TOOLS_WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
	    -DPYXET_TOOLS_ONLY=ON -DPYXET_BIN_DIR=$(BIN_DIR) >/dev/null
	cmake --build $(TOOLS_WIN64_DIR) -j$(JOBS) --target pyxet_check

cd-folder: dist
	sh scripts/cd-folder.sh $(BUILD)/dist "$(DEST)"

# An image of DIST builds no program; one of build/dist builds it first.
iso floppy: $(if $(DIST),,dist)
	@$(DEPS) image
	@$(MAKE) --no-print-directory checker
	PYXET_IMAGE_LABEL="$(LABEL)" PYXET_IMAGE_ALL="$(ALL)" \
	    sh scripts/make-$@.sh "$(IMAGE_DIST)" $(BUILD)/pyxet.$(if $(filter iso,$@),iso,img) $(BIN_DIR)/pyxet-check

fuzz: native
	sh scripts/fuzz.sh $(NATIVE_DIR)/tests/fuzz/targets $(FUZZ_SECONDS)

lint: native
	cd $(NATIVE_DIR) && ctest -L lint --output-on-failure

bench: e2e-build native
	PYXET_E2E_FLAVOUR=$(FLAVOUR) sh scripts/bench.sh $(NATIVE_DIR)

soak: e2e-build
	PYXET_E2E_FLAVOUR=$(FLAVOUR) PYXET_WINEDEBUG="$(SOAK_WINEDEBUG)" \
	    sh scripts/wine-harness.sh e2e_soak soak $(SOAK_RUNS) $(SOAK_SEED)

clean:
	rm -rf $(BUILD)
