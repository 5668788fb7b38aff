# Front door: `make run` starts Quillon, `make test` runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build build-asan test test-plain test-asan bench run clean format format-check

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

$(ASAN_BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON \
		-DQUILLON_BUILD_BENCH=OFF $(CMAKE_ARGS) >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

test-plain: build
	@ctest --test-dir $(BUILD) --output-on-failure

test-asan: build-asan
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	 ctest --test-dir $(ASAN_BUILD) --output-on-failure

test: format-check test-plain test-asan

# Every C++ file of the tree must match the project's .clang-format.
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

format-check: deps
	@clang-format --dry-run -Werror $(SOURCES) || \
	 { echo "Run 'make format' to apply the project's .clang-format." >&2; exit 1; }

format: deps
	@clang-format -i $(SOURCES)

bench: build
	@sh scripts/run-bench.sh $(BUILD)

run: build
	@sh scripts/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
