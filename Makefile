# Quorvel Synchrontester: the two commands every new user needs are
#   make demo   install what is missing, build, start the program on the simulated device
#   make test   install what is missing, build, run every test headless
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
            dpkg-dev file lintian \
            at-spi2-core dbus-daemon xvfb xauth python3 python3-gi gir1.2-atspi-2.0 \
            pulseaudio pulseaudio-utils libpulse-dev \
            libqrcodegencpp-dev chromium chromium-driver python3-selenium \
            libsqlite3-dev poppler-utils

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps build test test-build tsan-build release-build fuzz-build fuzz-smoke fuzz bench demo screenshot install \
        package package-test format clean

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
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole test suite runs under AddressSanitizer and UndefinedBehaviorSanitizer.
test-build: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
	  -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF
	cmake --build $(TEST_DIR) -j $(JOBS)

# The tests with two threads (the port's event thread and its hand-over) run
# once more under ThreadSanitizer: the serial tests and the end-to-end tests.
TSAN_TESTS := test_ecomport test_port test_port_error_help test_port_list test_registry test_port_text \
              test_port_setup test_port_store test_cport_translations test_e2e test_tone_output
empty :=
space := $(empty) $(empty)
tsan-build: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
	  -DQUORVEL_TSAN=ON -DQUORVEL_BENCH=OFF
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)

# The optimised build, warnings as errors; its tests are the ones above, not
# run again. The benchmarks are left to make bench, which keeps make test short.
release-build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF -DQUORVEL_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -DQUORVEL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz-smoke: fuzz-build
	fuzz/run.sh $(FUZZ_DIR) smoke

test: test-build tsan-build release-build fuzz-build
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) \
	  -R '^($(subst $(space),|,$(TSAN_TESTS)))$$'
	fuzz/run.sh $(FUZZ_DIR) smoke
	@$(MAKE) --no-print-directory package-test

# Runs every fuzz target for FUZZ_SECONDS each (make fuzz FUZZ_SECONDS=3600).
fuzz: fuzz-build
	fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && { echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; }; done; true

# The program on the simulated device, in a window of the user's desktop. Only
# the program and the simulator are built, in the release folder.
demo:
	@tools/demo.sh --check-display
	@$(MAKE) --no-print-directory deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quorvel quorvel-sim
	tools/demo.sh $(BUILD_DIR)

# The demo on a virtual display, with the scan started, photographed into
# docs/screenshot.png; needs no desktop.
screenshot: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF
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
