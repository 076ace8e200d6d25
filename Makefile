# Pyxet: the three commands. Each installs what is missing first.
#   make run   - build, then start the program under Wine (scripts/run.sh)
#   make test  - build, then run every test layer through CTest
#   make dist  - build the distributable folder build/dist/
# and for those who make driver CDs:
#   make tools  - build the settings-file checker build/bin/pyxet-check
#   make iso    - check build/dist/, then make the CD image build/pyxet.iso
#   make floppy - check build/dist/, then make the floppy image build/pyxet.img

BUILD := $(CURDIR)/build
WIN32_DIR := $(BUILD)/win32
NATIVE_DIR := $(BUILD)/native
BIN_DIR := $(BUILD)/bin
JOBS := 2
CONFIGURE_NATIVE = cmake -S . -B $(NATIVE_DIR) -DPYXET_WIN32_DIR=$(WIN32_DIR) -DPYXET_DIST_DIR=$(BUILD)/dist \
    -DPYXET_BIN_DIR=$(BIN_DIR) >/dev/null

.PHONY: all deps win32 native dist run test tools iso floppy clean

all: dist

deps:
	@sh scripts/install-deps.sh

win32: deps
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
	    -DCMAKE_BUILD_TYPE= -DPYXET_DIST_DIR=$(BUILD)/dist >/dev/null
	cmake --build $(WIN32_DIR) -j$(JOBS)

native: deps
	$(CONFIGURE_NATIVE)
	cmake --build $(NATIVE_DIR) -j$(JOBS)

dist: win32

run: dist
	sh scripts/run.sh

test: win32 native
	cd $(NATIVE_DIR) && ctest --output-on-failure -j$(JOBS)

tools: deps
	$(CONFIGURE_NATIVE)
	cmake --build $(NATIVE_DIR) -j$(JOBS) --target pyxet_check

iso: dist tools
	sh scripts/make-iso.sh $(BUILD)/dist $(BUILD)/pyxet.iso $(BIN_DIR)/pyxet-check

floppy: dist tools
	sh scripts/make-floppy.sh $(BUILD)/dist $(BUILD)/pyxet.img $(BIN_DIR)/pyxet-check

clean:
	rm -rf $(BUILD)
