# Thin wrapper over CMake. `make test` is what CI runs.
BUILD ?= build
JOBS ?= $(shell nproc)
WERROR ?= OFF
CMAKE_FLAGS ?=
# ccache, when installed, shares compiled objects between build folders.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps build run test test-asan test-tsan fuzz format clean screenshots projects-server

all: build

deps:
	scripts/install-deps.sh

# Configured every time (cheap when nothing changed), so WERROR and
# CMAKE_FLAGS always apply, also to an existing build folder.
build: deps
	cmake -S . -B $(BUILD) -G Ninja -DVENDRAKE_WERROR=$(WERROR) $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The main job. Without URL: the demo gallery served on 127.0.0.1, in the
# vendrake window when a display is present, else crawled by vendrake-cli.
# With URL=...: crawl that site into your Vendrake home.
run: build
ifdef URL
	$(BUILD)/src/app/vendrake-cli run "$(URL)"
else
	scripts/run-demo.sh $(BUILD)
endif

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The project lists of projects/projects.txt served on 127.0.0.1 for the
# import (PORT 8418 is the ProjectServer setting's default); Ctrl-C ends it.
PORT ?= 8418
projects-server:
	python3 scripts/make-project-lists.py projects/projects.txt $(BUILD)/project-server/projects
	@echo "Serving the project lists on 127.0.0.1:$(PORT); the import uses them when ProjectServer is 127.0.0.1:$(PORT)"
	python3 scripts/serve-folder.py $(BUILD)/project-server $(PORT)

# Every window rendered with demo data into docs/screenshots (offscreen).
screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/ui/screenshots/vendrake_screenshots docs/screenshots

# Every test once more under AddressSanitizer + UndefinedBehaviorSanitizer.
test-asan: deps
	$(MAKE) BUILD=build-asan CMAKE_FLAGS="-DVENDRAKE_SANITIZE=address -DVENDRAKE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug" test

# Every test once more under ThreadSanitizer.
test-tsan: deps
	$(MAKE) BUILD=build-tsan CMAKE_FLAGS="-DVENDRAKE_SANITIZE=thread -DVENDRAKE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug" test

# libFuzzer build (clang); run a target with build-fuzz/tests/fuzz/<name> <corpus>.
fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVENDRAKE_FUZZ=ON -DVENDRAKE_SANITIZE=address -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-fuzz
