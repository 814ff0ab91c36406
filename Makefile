# The two commands: `make run` builds and starts the game, `make test` builds and runs every
# test. Both first install what they need from Debian's packages when it is missing.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps deps-build package assets bench clean sanitize fuzz
.PHONY: web web-serve test-web deps-web

run: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target quendra
	./$(BUILD)/quendra

# Every test: the native suite under CTest, then the browser version's tests in headless chromium.
test: deps
	cmake -S . -B $(BUILD) -DQUENDRA_TESTS_REQUIRED=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-web

deps:
	sh tools/install-deps.sh all

# The unit tests, SDL backend tests, scenarios and the end-to-end test under AddressSanitizer +
# UndefinedBehaviorSanitizer, in a build of their own; any finding stops the test that made it.
# No suppressions are needed. The tests that run the real game (or its window on an X server)
# alone go without leak detection: the game loads D-Bus, X11 and GL libraries that keep
# allocations for the life of the process (LeakSanitizer reports them, often without a symbol to
# suppress by); memory errors and undefined behaviour still stop it.
SANITIZE_BUILD ?= build-sanitize
UBSAN_ENV = UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ASAN_ENV = ASAN_OPTIONS=abort_on_error=1:strict_string_checks=1
GAME_TESTS = '^(end_to_end|desktop|command_line|sdl_window|recording)$$'
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DQUENDRA_SANITIZE=ON -DQUENDRA_TESTS_REQUIRED=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(UBSAN_ENV) $(ASAN_ENV):detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS) -E $(GAME_TESTS)
	cd $(SANITIZE_BUILD) && $(UBSAN_ENV) $(ASAN_ENV):detect_leaks=0 \
	  ctest --output-on-failure -R $(GAME_TESTS)

# Coverage-guided fuzzing (clang's libFuzzer) of the script reader, the bitmap decoder and the
# WAVE parser: FUZZ_SECONDS each, from the seeds in fuzz/corpus/.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
fuzz:
	sh tools/install-deps.sh fuzz
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	sh fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The browser version: `make web` builds the static page into build-web/, `make web-serve`
# serves it on http://127.0.0.1:$(PORT)/, `make test-web` runs its server's tests and its tests
# in headless chromium.
WEB_BUILD ?= build-web
PORT ?= 8080
WEB_ENV = NODE_PATH=/usr/share/nodejs

web: deps-web
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) $(CMAKE_FLAGS)
	$(WEB_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)

web-serve: web
	node platform/web/serve.mjs $(WEB_BUILD) $(PORT)

test-web: web
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target quendra-replay frame_check
	cd tests/web && npm ci --no-audit --no-fund
	node tests/web/server_test.mjs
	node tests/web/browser_test.mjs $(WEB_BUILD) $(BUILD)/quendra-replay
	node tests/web/recording_test.mjs $(WEB_BUILD) $(BUILD)/quendra-replay
	node tests/web/offline_test.mjs $(WEB_BUILD)

deps-web:
	sh tools/install-deps.sh web

deps-build:
	sh tools/install-deps.sh build

# The player's .deb, $(BUILD)/quendra_VERSION_ARCH.deb: the game, stripped, in /usr/games.
package:
	sh tools/install-deps.sh package
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && cpack

# Redraws the pictures and resynthesises the sounds into resources/ (the files are committed).
assets: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) --target assets

bench: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target bench-audio_quality bench-frames bench-present
	./$(BUILD)/bench/bench-frames
	./$(BUILD)/bench/bench-present
	./$(BUILD)/bench/bench-audio_quality

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
