# Everyday entry points. `make run` and `make test` set up a fresh Debian 12 machine themselves.
BUILD ?= build
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: deps configure program build run test bench asan tsan install clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The program alone, for `make run` and `make install`.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target vontalix

# The program and every test program.
build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The window needs a desktop; without one Qt would only abort, so say what to do instead.
run: program
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
	    echo "No desktop here (neither DISPLAY nor WAYLAND_DISPLAY is set). To start the program" \
	        "on a virtual screen: xvfb-run -a make run" >&2; \
	    exit 1; \
	fi
	$(BUILD)/vontalix $(ARGS)

# A test that needs what this machine refuses (root, a capability, the private sound server, a
# file system feature) skips and leaves its reason in $(BUILD)/skipped; the last line names them.
test: build
	@rm -rf $(BUILD)/skipped && mkdir -p $(BUILD)/skipped
	@cd $(BUILD) && VONTALIX_SKIP_MARKS=$(abspath $(BUILD))/skipped \
	    ctest --output-on-failure -j $(JOBS) --timeout 300; status=$$?; \
	if [ -n "$$(ls skipped)" ]; then \
	    echo "Skipped: $$(sort skipped/* | awk '{ printf "%s%s", (NR > 1 ? "; " : ""), $$0 }')."; \
	fi; \
	exit $$status

# Runs only the benchmark programs (the build also leaves *_autogen folders there); the sound
# benchmarks play through a private sound server, started here unless PULSE_SERVER names one.
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVONTALIX_BENCH=ON
	cmake --build build-bench -j $(JOBS) --target benchmarks
	@set -e; started=; \
	if [ -z "$$PULSE_SERVER" ]; then \
	    export VONTALIX_AUDIO_DIR=$${VONTALIX_AUDIO_DIR:-/tmp/vontalix-audio-bench-$$(id -u)}; \
	    eval "export $$(scripts/audio-server start | tail -n1)" && started=1 || true; \
	fi; \
	status=0; \
	for b in build-bench/bench/bench_*; do \
	    [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	    echo "== $$b"; "$$b" || status=1; \
	done; \
	[ -z "$$started" ] || scripts/audio-server stop; \
	exit $$status

asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVONTALIX_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS) --timeout 600

# The threads of sound and decoding: the media and engine tests under ThreadSanitizer, and the
# movie export's encoding threads with the thread that writes their packets. The test
# that compares the shown window's pixels is left to the other builds: Qt converts such images on
# its own pooled threads, whose uninstrumented atomics the tool cannot see. So is the test that
# locates every start on the sink to the frame: it measures timing, which the tool slows many
# times over, not what threads share (the other tests through the sound server stay).
tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVONTALIX_TSAN=ON
	cmake --build build-tsan -j $(JOBS) --target test_media test_engine test_documents
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	    ctest --output-on-failure -j $(JOBS) --timeout 600 -L '^(media|engine)$$' \
	    -E '^(EngineWindowTest\.TicksRepaintTheLanesOnlyWhenAHeadMovesAPixel|DeckServerTest\.EveryStartIsHeardOnceWholeAndInStep)$$'
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	    ctest --output-on-failure -j $(JOBS) --timeout 600 -L '^documents$$' -R '^MovieExport\.'

# The program, its desktop entry and its icon under $(PREFIX) (default /usr/local).
install: program
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-bench build-fuzz
