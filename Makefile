# Thin wrapper around CMake. Every target first makes sure the Debian packages
# are there, configures its build folder once, builds with both cores, then runs.
BUILD_DIR := build
ASAN_DIR  := build-asan
JOBS      ?= 2

SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp

.PHONY: all deps build build-asan run test test-asan bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@test -f $(BUILD_DIR)/CMakeCache.txt || cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD_DIR) -j $(JOBS)

build-asan: deps
	@test -f $(ASAN_DIR)/CMakeCache.txt || cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_SANITIZE=ON -DQUORVANE_BUILD_BENCH=OFF
	cmake --build $(ASAN_DIR) -j $(JOBS)

run: build
	cd samples && ../$(BUILD_DIR)/app/quorvane

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: build-asan
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target run_benchmarks

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
