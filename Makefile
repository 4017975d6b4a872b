# make run   build and start Seamwright (on a private two-monitor desktop when there is no X display)
# make test  build and run the whole test suite
# make bundle  build the relocatable Seamwright.app here (the form the updater replaces)
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build bundle run test bench asan format clean

all: build

deps:
	@bash scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

bundle: build
	cmake --install $(BUILD) --prefix $(CURDIR)

run: bundle
	@bash scripts/run.sh Seamwright.app/Contents/bin/seamwright

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

bench: configure
	@bash scripts/deps.sh bench
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build-release --target benchmarks -j $(JOBS)
	@for b in build-release/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then echo "== $$b"; "$$b" || exit 1; fi; done

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSEAM_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --output-on-failure --timeout 600

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-release build-asan
