# Pyxet: the three commands. Each installs what is missing first.
#   make run   - build, then start the program under Wine (scripts/run.sh)
#   make test  - build, then run every test layer through CTest
#   make dist  - build the distributable folder build/dist/
# and for hardening:
#   make fuzz  - run every fuzz target for FUZZ_SECONDS seconds (default 60)
#   make lint  - clang-tidy and cppcheck over src/ with the i386 build's flags

BUILD := $(CURDIR)/build
WIN32_DIR := $(BUILD)/win32
NATIVE_DIR := $(BUILD)/native
JOBS := 2
FUZZ_SECONDS ?= 60

.PHONY: all deps win32 native dist run test fuzz lint clean

all: dist

deps:
	@sh scripts/install-deps.sh

win32: deps
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE= -DPYXET_DIST_DIR=$(BUILD)/dist >/dev/null
	cmake --build $(WIN32_DIR) -j$(JOBS)

native: deps
	cmake -S . -B $(NATIVE_DIR) -DPYXET_WIN32_DIR=$(WIN32_DIR) -DPYXET_DIST_DIR=$(BUILD)/dist >/dev/null
	cmake --build $(NATIVE_DIR) -j$(JOBS)

dist: win32

run: dist
	sh scripts/run.sh

test: win32 native
	cd $(NATIVE_DIR) && ctest --output-on-failure -j$(JOBS)

fuzz: native
	sh scripts/fuzz.sh $(NATIVE_DIR)/tests/fuzz/targets $(FUZZ_SECONDS)

lint: native
	cd $(NATIVE_DIR) && ctest -L lint --output-on-failure

clean:
	rm -rf $(BUILD)
