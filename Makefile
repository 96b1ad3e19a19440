# Entry point for building, testing and running Corvane on Debian.
#   make test   set up, build the trees, run every test (native, under Wine, short fuzz runs)
#   make run    set up, build, generate the sample recording, open it in corvane.exe
#   make bench  build the optimised native tree and run the benchmarks
#   make fuzz   run every fuzz target for FUZZ_SECONDS each (default 300)
#   make dist   the release zip for Windows users: build/dist/corvane-VERSION-win64.zip
#   make screenshots  the pictures of docs/, taken from the program under Wine
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
FUZZ_SECONDS ?= 300

.PHONY: all setup native asan windows test run bench fuzz-tree fuzz fuzz-smoke dist screenshots clean

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

# The fuzz targets (clang, libFuzzer) and nothing else; the literal texts stay
# UTF-8 there, as clang has no code page 932 execution charset.
fuzz-tree: setup
	cmake -S . -B $(BUILD)/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON
	cmake --build $(BUILD)/fuzz -j $(JOBS)

fuzz: fuzz-tree
	@tests/fuzz/run-fuzz.sh $(BUILD)/fuzz all $(FUZZ_SECONDS)

fuzz-smoke: fuzz-tree
	cd $(BUILD)/fuzz && ctest --output-on-failure -L fuzz

test: asan windows fuzz-tree
	@scripts/run-tests.sh $(BUILD)

run: native windows
	@scripts/run-sample.sh $(BUILD)

bench: native windows
	@scripts/run-bench.sh $(BUILD)

dist: windows
	@scripts/make-dist.py $(BUILD)/windows $(BUILD)/dist

screenshots: windows
	@scripts/screenshots.sh $(BUILD) docs

clean:
	rm -rf $(BUILD)/native $(BUILD)/asan $(BUILD)/windows $(BUILD)/fuzz $(BUILD)/dist $(BUILD)/screenshots
