# make run   build and start Seamwright (on a private two-monitor desktop when there is no X display)
# make test  build and run the whole test suite
# make crash-test  kill a process changing the settings 1,000 times; every load must hold a whole state
# make bundle  build the relocatable Seamwright.app here (the form the updater replaces)
# make package  build the Debian package in build/
BUILD ?= build
# where make bundle puts Seamwright.app
BUNDLE_DIR ?= $(CURDIR)
JOBS ?= $(shell nproc)
# ctest arguments for make asan, e.g. ASAN_TESTS='-E x11' to leave a suite out.
ASAN_TESTS ?=

.PHONY: all deps configure build bundle package run test crash-test bench asan format clean

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

bundle: build
	cmake --install $(BUILD) --prefix $(BUNDLE_DIR) --component bundle

package: build
	cd $(BUILD) && cpack

run: bundle
	@bash scripts/run.sh $(BUNDLE_DIR)/Seamwright.app/Contents/bin/seamwright

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

crash-test: configure
	cmake --build $(BUILD) --target settings_crash -j $(JOBS)
	$(BUILD)/tests/settings_crash --kills 1000

bench: configure
	@bash scripts/deps.sh bench
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
	JOBS=$(JOBS) bash scripts/bench.sh build-release

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSEAM_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 ctest --output-on-failure --timeout 600 $(ASAN_TESTS)

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-release build-asan
