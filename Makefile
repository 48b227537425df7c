# The two set-up commands (see README):
#   make run   installs what is missing, builds and starts the reader
#   make test  installs what is missing, builds with ASan + UBSan and runs every test headless
# Other targets: make bench (prints figures), make format, make package (the .deb).

JOBS ?= $(shell nproc)
BUILD ?= build
TEST_BUILD ?= build-test

.PHONY: run build test bench format deps package

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/parlo

test: deps
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPARLO_SANITIZE=ON -DPARLO_BENCH=OFF
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)
	for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

package: build
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
