# The two commands: `make run` builds and starts the game, `make test` builds and runs every
# test. Both first install what they need from Debian's packages when it is missing.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps deps-build assets bench clean web web-serve test-web deps-web

run: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target quendra
	./$(BUILD)/quendra

test: deps
	cmake -S . -B $(BUILD) -DQUENDRA_TESTS_REQUIRED=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

deps:
	sh tools/install-deps.sh all

# The browser version: `make web` builds the static page into build-web/, `make web-serve`
# serves it on http://127.0.0.1:$(PORT)/, `make test-web` runs its tests in headless chromium.
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
	cmake --build $(BUILD) -j $(JOBS) --target quendra-replay
	cd tests/web && npm ci --no-audit --no-fund
	node tests/web/browser_test.mjs $(WEB_BUILD) $(BUILD)/quendra-replay

deps-web:
	sh tools/install-deps.sh web

deps-build:
	sh tools/install-deps.sh build

# Redraws the pictures and resynthesises the sounds into resources/ (the files are committed).
assets: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) --target assets

bench: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target bench-audio_quality bench-frames
	./$(BUILD)/bench/bench-frames
	./$(BUILD)/bench/bench-audio_quality

clean:
	rm -rf $(BUILD)
