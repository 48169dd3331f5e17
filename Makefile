# Thin wrapper over CMake. `make test` is what CI runs.
BUILD ?= build
JOBS ?= $(shell nproc)
WERROR ?= OFF
CMAKE_FLAGS ?=

.PHONY: all deps build test test-asan test-tsan fuzz format clean

all: build

deps:
	scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DVENDRAKE_WERROR=$(WERROR) $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The engine's tests once more under AddressSanitizer + UndefinedBehaviorSanitizer.
test-asan: deps
	$(MAKE) BUILD=build-asan CMAKE_FLAGS="-DVENDRAKE_SANITIZE=address -DVENDRAKE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug" test

# The engine's thread tests under ThreadSanitizer.
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
