# Front door: `make run` starts Quillon, `make test` runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build build-asan build-fuzz test test-plain test-asan fuzz bench run clean format \
	format-check install package

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

$(ASAN_BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON \
		-DQUILLON_BUILD_BENCH=OFF $(CMAKE_ARGS) >/dev/null

# The fuzz targets with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, built with
# clang; only the libraries they link are built.
FUZZ_TARGETS = batch_args design_file find_criteria keystroke_filter number_conversion

$(FUZZ_BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DQUILLON_FUZZ=ON -DQUILLON_SANITIZE=ON -DQUILLON_BUILD_TESTS=OFF \
		-DQUILLON_BUILD_BENCH=OFF $(CMAKE_ARGS) >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

build-fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix quillon_fuzz_,$(FUZZ_TARGETS))

# Each target for FUZZ_SECONDS on its corpus in tests/fuzz/corpus/<target>/; new inputs go to
# $(FUZZ_BUILD)/corpus/<target>/, crashes to $(FUZZ_BUILD)/crashes/.
fuzz: build-fuzz
	@sh scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

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

# Installs into PREFIX (CMake's install prefix, /usr/local, when empty); DESTDIR is honoured.
PREFIX ?=
install: build
	@cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package $(BUILD)/quillon_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@sh scripts/run-bench.sh $(BUILD)

run: build
	@sh scripts/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
