# Thin wrapper around CMake. Every target first makes sure the Debian packages
# are there, configures its build folder once, builds with both cores, then runs.
BUILD_DIR := build
ASAN_DIR  := build-asan
FUZZ_DIR  := build-fuzz
JOBS      ?= 2
# Where the shared picture corpus lies, beside the checkout.
CORPUS    ?= $(CURDIR)/../shared/corpus
FUZZ_SECONDS ?= 30
FUZZERS   := fuzz_bmp fuzz_jpeg fuzz_data

SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp

.PHONY: all deps build build-asan run test test-asan test-corpus fuzz fuzz-smoke bench clean

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

# Every file of the shared corpus through the readers, in both builds.
test-corpus: build build-asan
	$(BUILD_DIR)/tests/corpus/corpus_tests $(CORPUS)
	$(SANITIZER_ENV) $(ASAN_DIR)/tests/corpus/corpus_tests $(CORPUS)

fuzz: deps
	@test -f $(FUZZ_DIR)/CMakeCache.txt || cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUORVANE_FUZZ=ON -DQUORVANE_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZERS)

# Each fuzzer for FUZZ_SECONDS, new inputs kept in the build folder; the
# corpus files (read where they lie) serve as seeds when present.
fuzz-smoke: fuzz
	@mkdir -p $(FUZZ_DIR)/found/bmp $(FUZZ_DIR)/found/jpeg $(FUZZ_DIR)/found/data
	$(SANITIZER_ENV) $(FUZZ_DIR)/fuzz/fuzz_bmp -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_DIR)/ \
	  $(FUZZ_DIR)/found/bmp $(wildcard $(CORPUS)/bmpsuite-2.8/g $(CORPUS)/bmpsuite-2.8/q $(CORPUS)/bmpsuite-2.8/b)
	$(SANITIZER_ENV) $(FUZZ_DIR)/fuzz/fuzz_jpeg -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_DIR)/ \
	  $(FUZZ_DIR)/found/jpeg $(wildcard $(CORPUS)/jpeg/testimages $(CORPUS)/jpeg/testimages/history)
	$(SANITIZER_ENV) $(FUZZ_DIR)/fuzz/fuzz_data -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ_DIR)/ \
	  $(FUZZ_DIR)/found/data

bench: build
	cmake --build $(BUILD_DIR) --target run_benchmarks

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
