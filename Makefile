# The README's two commands: `make demo` runs the demo game, `make test` runs the whole test suite.
BUILD_DIR ?= build
SAN_BUILD_DIR ?= build-asan
JOBS ?= $(shell nproc)
DEMO_DIR ?= demo/game
DEMO_OUT ?= $(BUILD_DIR)/demo-shots

.PHONY: all deps configure build test test-asan demo bench clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The tests again under AddressSanitizer and UndefinedBehaviorSanitizer (halt on the first report).
test-asan: deps
	cmake -S . -B $(SAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DZEPA_SANITIZE=ON -DZEPA_BUILD_BENCH=OFF
	cmake --build $(SAN_BUILD_DIR) -j $(JOBS)
	cd $(SAN_BUILD_DIR) && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

demo: build
	scripts/run-demo $(BUILD_DIR) $(DEMO_DIR) $(DEMO_OUT)

bench: build
	scripts/run-bench $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SAN_BUILD_DIR)
