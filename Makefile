# Entry point for building, testing and running Corvane on Debian.
#   make test   set up, build both trees, run every test (native and under Wine)
#   make run    set up, build, generate the sample recording, open it in corvane.exe
#   make bench  build the optimised native tree and run the benchmarks
#   make fuzz   run every fuzz target for FUZZ_SECONDS each
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all setup native asan windows test run bench fuzz fuzz-smoke clean

all: native windows

setup:
	@scripts/setup.sh $(BUILD)

native: setup
	cmake -S . -B $(BUILD)/native $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)/native -j $(JOBS)

asan: setup
	cmake -S . -B $(BUILD)/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
	cmake --build $(BUILD)/asan -j $(JOBS)

windows: setup
	cmake -S . -B $(BUILD)/windows $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake
	cmake --build $(BUILD)/windows -j $(JOBS)

test: asan windows
	@scripts/run-tests.sh $(BUILD)

run: native windows
	@scripts/run-sample.sh $(BUILD)

bench: native windows
	@scripts/run-bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)/native $(BUILD)/asan $(BUILD)/windows
