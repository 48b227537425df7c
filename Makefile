# The two set-up commands (see README):
#   make run   installs what is missing, builds and starts the reader
#   make test  installs what is missing, fails at once when a tracked .cpp/.h file is not as
#              clang-format leaves it or a core folder includes window code, builds with ASan + UBSan and runs every test headless
#              and then runs each fuzz target for FUZZ_SECONDS (30 by default) in a
#              clang build of its own (make fuzz does that step alone)
# Other targets: make bench (prints figures), make format, make package (the .deb).

JOBS ?= $(shell nproc)
BUILD ?= build
TEST_BUILD ?= build-test
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30

.PHONY: run build test bench fuzz fuzz-run format format-check layers-check deps package

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/parlo

test: deps format-check layers-check
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLO_SANITIZE=ON -DPARLO_BENCH=OFF
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz-run

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)
	for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; $$b; done

fuzz: deps fuzz-run

# The fuzz step of make test, without a second round of installing.
fuzz-run:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPARLO_FUZZ=ON -DPARLO_SANITIZE=ON -DPARLO_TESTS=OFF -DPARLO_BENCH=OFF -DPARLO_TOOLS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_document_reader fuzz_sapi_xml fuzz_settings \
	  fuzz_render_input
	bash tools/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

package: build
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Changes nothing; names each file make format would change.
# The core folders include no window code.
layers-check:
	@bash tools/check-layers.sh

format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')
