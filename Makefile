# The two commands: `make run` builds and starts the game, `make test` builds and runs every
# test. Both first install what they need from Debian's packages when it is missing.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps deps-build package assets bench clean

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

bench: deps-build
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target bench-audio_quality bench-frames
	./$(BUILD)/bench/bench-frames
	./$(BUILD)/bench/bench-audio_quality

clean:
	rm -rf $(BUILD)
