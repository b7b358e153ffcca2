# Everyday entry points. `make run` and `make test` set up a fresh Debian 12 machine themselves.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench asan clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/vontalix $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVONTALIX_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVONTALIX_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf $(BUILD) build-asan build-bench build-fuzz
