# Quorvel Synchrontester: the two commands every new user needs are
#   make demo   install what is missing, build, start the program on the simulated device
#   make test   install what is missing, build, run every test headless
# and while changing code, the quick loop:
#   make check  the sanitizer build, incrementally, and its unit tests
SHELL := /bin/bash
.DEFAULT_GOAL := build

JOBS        ?= $(shell nproc)
BUILD_DIR   ?= build/release
TEST_DIR    ?= build/test
TSAN_DIR    ?= build/tsan
FUZZ_DIR    ?= build/fuzz
FUZZ_SECONDS ?= 600

# Debian packages the build, the tests and the demo need.
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-tools-dev qt6-l10n-tools \
            libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation fonts-dejavu-core \
            clang libclang-rt-14-dev \
            desktop-file-utils appstream groff-base clang-format \
            dpkg-dev file lintian ninja-build lld \
            at-spi2-core dbus-daemon xvfb xauth python3 python3-gi gir1.2-atspi-2.0 \
            pulseaudio pulseaudio-utils libpulse-dev \
            libqrcodegencpp-dev chromium chromium-driver python3-selenium \
            libsqlite3-dev poppler-utils

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build test check test-build tsan-build release-build fuzz-build fuzz-smoke fuzz bench demo screenshot \
        install package package-test format clean

# Every build folder is made by Ninja. configure DIR, ARGS: cmake's configure
# step; a folder an older version of this file made with another generator
# cannot be switched, so it is started afresh.
define configure
	@if [ -f $(1)/CMakeCache.txt ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' $(1)/CMakeCache.txt; then \
	  echo "$(1) was made with another generator: starting it afresh"; rm -rf $(1); fi
	cmake -S . -B $(1) -G Ninja $(2)
endef

# Every gcc build precompiles the Qt and GoogleTest headers, compiles a
# target's sources in batches and lets gcc keep more memory before it collects
# (cmake/QuorvelBuildSpeed.cmake says what each saves); the two sanitizer
# builds also link with lld. The release build links with the system's linker,
# as the package is linked. The fuzz build (clang) compiles in batches too.
# ThreadSanitizer finds the same races unoptimised, and its build is shorter.
SPEED := -DQUORVEL_PCH=ON -DQUORVEL_UNITY=ON -DQUORVEL_GCC_MEMORY=ON
FAST := -DQUORVEL_LINKER=lld $(SPEED)
TEST_CONFIG := -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF $(FAST)
TSAN_CONFIG := -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DQUORVEL_TSAN=ON -DQUORVEL_BENCH=OFF $(FAST)
# The optimised programs without tests: make build, demo, screenshot and bench.
APP_CONFIG := -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF $(SPEED)
RELEASE_CONFIG := $(APP_CONFIG) -DQUORVEL_BENCH=OFF -DQUORVEL_WERROR=ON
# Line tables are all a fuzzer's report needs to name file and line.
FUZZ_CONFIG := -DQUORVEL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
               -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DQUORVEL_LINKER=lld -DQUORVEL_UNITY=ON

# Installs only what is missing; runs apt-get update once, and only then.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	$(call configure,$(BUILD_DIR),$(APP_CONFIG))
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole test suite runs under AddressSanitizer and UndefinedBehaviorSanitizer.
test-build: deps
	$(call configure,$(TEST_DIR),$(TEST_CONFIG))
	cmake --build $(TEST_DIR) -j $(JOBS)

# The quick loop while changing code: what changed is rebuilt in build/test
# and the sanitizer build's tests run. make test adds the ThreadSanitizer
# tests, the release build, the fuzz targets and the package; run it before
# handing a change in.
check: test-build
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE '^system$$'

# The tests with two threads (the port's event thread and its hand-over) run
# once more under ThreadSanitizer: the serial tests and the end-to-end tests.
TSAN_TESTS := test_ecomport test_port test_port_error_help test_port_list test_registry test_port_text \
              test_port_setup test_port_store test_cport_translations test_e2e test_tone_output
empty :=
space := $(empty) $(empty)
tsan-build: deps
	$(call configure,$(TSAN_DIR),$(TSAN_CONFIG))
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)

# The optimised build, warnings as errors; its tests are the ones above, not
# run again. The benchmarks are left to make bench, which keeps make test short.
release-build: deps
	$(call configure,$(BUILD_DIR),$(RELEASE_CONFIG))
	cmake --build $(BUILD_DIR) -j $(JOBS)

fuzz-build: deps
	$(call configure,$(FUZZ_DIR),$(FUZZ_CONFIG))
	cmake --build $(FUZZ_DIR) -j $(JOBS)

# The fuzz targets run FUZZ_JOBS at a time, each on a processor of its own.
FUZZ_JOBS ?= $(JOBS)
fuzz-smoke: fuzz-build
	FUZZ_JOBS=$(FUZZ_JOBS) fuzz/run.sh $(FUZZ_DIR) smoke

# make test runs the steps below as a pipeline (make -j, output kept together
# per step): the builds one after the other, each test run as soon as its
# build is done, beside the next build. The tests spend much of their time
# waiting (on the simulator, on timers), so the builds fill that time; the
# builds run at a lower priority, so that the tests keep their pace. The fuzz
# targets run last, alone on the machine, since their smoke run is timed.
ASAN_CTEST = cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
TSAN_CTEST = cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) \
	  -R '^($(subst $(space),|,$(TSAN_TESTS)))$$'
# The first build has nothing beside it and shows its progress as it goes.
test: deps
	@$(MAKE) --no-print-directory pipe-asan-build
	@$(MAKE) --no-print-directory -j4 --output-sync=target test-pipeline ASAN_STEP=
	@echo "make test: all checks passed"
ASAN_STEP ?= pipe-asan-build

.PHONY: test-pipeline pipe-asan-build pipe-asan-tests pipe-tsan-build pipe-tsan-tests pipe-release-build \
        pipe-fuzz-build pipe-package-test pipe-fuzz-smoke
test-pipeline: pipe-asan-tests pipe-tsan-tests pipe-package-test pipe-fuzz-smoke
pipe-asan-build:
	$(call configure,$(TEST_DIR),$(TEST_CONFIG))
	cmake --build $(TEST_DIR) -j $(JOBS)
pipe-asan-tests: $(ASAN_STEP)
	$(ASAN_CTEST)
pipe-tsan-build: $(ASAN_STEP)
	$(call configure,$(TSAN_DIR),$(TSAN_CONFIG))
	nice cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)
pipe-tsan-tests: pipe-tsan-build
	$(TSAN_CTEST)
pipe-release-build: pipe-tsan-build
	$(call configure,$(BUILD_DIR),$(RELEASE_CONFIG))
	nice cmake --build $(BUILD_DIR) -j $(JOBS)
pipe-fuzz-build: pipe-release-build
	$(call configure,$(FUZZ_DIR),$(FUZZ_CONFIG))
	nice cmake --build $(FUZZ_DIR) -j $(JOBS)
pipe-package-test: pipe-release-build
	cmake --build $(BUILD_DIR) --target package
	tests/package/check_deb.sh $(DEB) $(VERSION) .
pipe-fuzz-smoke: pipe-fuzz-build pipe-asan-tests pipe-tsan-tests pipe-package-test
	FUZZ_JOBS=$(FUZZ_JOBS) fuzz/run.sh $(FUZZ_DIR) smoke

# Runs every fuzz target for FUZZ_SECONDS each (make fuzz FUZZ_SECONDS=3600).
fuzz: fuzz-build
	FUZZ_JOBS=$(FUZZ_JOBS) fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Every benchmark program in bench/, one after the other (the build folder
# also holds cmake's own folders, bench_*_autogen, which are skipped).
bench: deps
	$(call configure,$(BUILD_DIR),$(APP_CONFIG) -DQUORVEL_BENCH=ON)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@ran=0; for b in $(BUILD_DIR)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; ran=$$((ran + 1)); \
	done; [ $$ran -gt 0 ] || { echo "no benchmarks in $(BUILD_DIR)/bench"; exit 1; }

# The program on the simulated device, in a window of the user's desktop. Only
# the program and the simulator are built, in the release folder.
demo:
	@tools/demo.sh --check-display
	@$(MAKE) --no-print-directory deps
	$(call configure,$(BUILD_DIR),$(APP_CONFIG))
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvel quorvel-sim
	tools/demo.sh $(BUILD_DIR)

# The demo on a virtual display, with the scan started, photographed into
# docs/screenshot.png; needs no desktop.
screenshot: deps
	$(call configure,$(BUILD_DIR),$(APP_CONFIG))
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvel quorvel-sim
	tools/screenshot.sh $(BUILD_DIR) docs/screenshot.png

# Installs the programs, desktop entry, metadata, icons and manual pages below
# PREFIX (make install PREFIX=~/.local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The Debian package of the release build, build/release/quorvel_<version>_<arch>.deb,
# which a user installs with sudo apt install ./quorvel_<version>_<arch>.deb.
# The version is read from the one place it is written, the top CMakeLists.txt.
VERSION := $(shell sed -n 's/^project.Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB      = $(BUILD_DIR)/quorvel_$(VERSION)_$(shell dpkg --print-architecture).deb
package: build
	cmake --build $(BUILD_DIR) --target package

# Runs lintian on the package, installs it on a throw-away root, checks what it
# put there, and removes it again.
package-test: package
	tests/package/check_deb.sh $(DEB) $(VERSION) .

# Applies .clang-format to every C++ file in git.
format:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

clean:
	rm -rf build
