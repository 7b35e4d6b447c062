# Lumeno: the two commands a newcomer needs are `make run` and `make test`.

BUILD      ?= build
RUN_BUILD  ?= build-run
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja

.PHONY: all deps program-deps configure build run test asan bench fuzz clean

all: build

deps:
	scripts/install-deps

program-deps:
	scripts/install-deps --program

configure: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENO_BUILD_BENCH=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the program: no tests or benchmarks, and only the packages it needs.
run: program-deps
	cmake -S . -B $(RUN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DLUMENO_BUILD_TESTS=OFF -DLUMENO_BUILD_BENCH=OFF
	cmake --build $(RUN_BUILD) -j $(JOBS) --target lumeno
	$(RUN_BUILD)/lumeno $(ARGS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The same tests under AddressSanitizer and UBSan.
asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DLUMENO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# Every image reader under libFuzzer, FUZZ_SECONDS each, four at a time.
FUZZ_SECONDS ?= 60
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) fuzz/run

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	  -DLUMENO_BUILD_TESTS=OFF -DLUMENO_BUILD_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD) $(RUN_BUILD) $(ASAN_BUILD) $(BENCH_BUILD) build-fuzz
