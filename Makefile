# The README's two commands: `make demo` runs the demo game, `make test` runs the whole test suite.
BUILD_DIR ?= build
SAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := pack_archive settings script_reader script_expressions save_file text_drawing \
  script_run replay image_load
JOBS ?= $(shell nproc)
DEMO_DIR ?= $(BUILD_DIR)/demo/game
DEMO_OUT ?= $(BUILD_DIR)/demo-shots
WEB_BUILD_DIR ?= build-web
WEB_PAGE ?= $(WEB_BUILD_DIR)/page

.PHONY: all deps configure build test test-asan demo bench clean fuzz fuzz-build fuzz-replay soak memcheck test-tsan \
  web test-web

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

# The tests of the parts that run threads (ctest label `threaded`) under ThreadSanitizer.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPA_TSAN=ON -DZEPA_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD_DIR) -j $(JOBS) --target zepa_threaded_tests
	cd $(TSAN_BUILD_DIR) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" \
	  ctest --output-on-failure -j $(JOBS) -L threaded

demo: build
	scripts/run-demo $(BUILD_DIR) $(DEMO_DIR) $(DEMO_OUT)

bench: build
	scripts/run-bench $(BUILD_DIR)

# The demo in the browser: a folder any static web server can serve (docs/web.md). The browser
# build installs what it needs itself (scripts/install-deps-web); the demo game comes from the
# native build.
web: build
	JOBS=$(JOBS) scripts/build-web $(WEB_BUILD_DIR)
	ZEPA_WEB_BUILD=$(WEB_BUILD_DIR) scripts/pack-web $(DEMO_DIR) $(WEB_PAGE) demo/demo.replay

# The demo's replay in headless Chromium against the native run's screenshots.
test-web: web
	scripts/test-web $(BUILD_DIR) $(WEB_BUILD_DIR)

# libFuzzer targets (clang): replay the seed corpora, then fuzz each target for FUZZ_SECONDS.
# New inputs go to $(FUZZ_BUILD_DIR)/corpus/, never into the seeds under tests/fuzz/corpus/.
# Paths are absolute: the script_run target works inside a game folder of its own.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPA_FUZZ=ON \
	  -DZEPA_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzz_targets

fuzz-replay: fuzz-build
	cd $(FUZZ_BUILD_DIR) && ctest --output-on-failure -R '^fuzz_'

fuzz: fuzz-replay
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD_DIR)/corpus/$$t && \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s" && \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  $(FUZZ_BUILD_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(abspath $(FUZZ_BUILD_DIR))/fuzz_$$t- \
	    $(abspath $(FUZZ_BUILD_DIR))/corpus/$$t $(CURDIR)/tests/fuzz/corpus/$$t || exit 1; \
	done

# The long soak: 200,000 frames of the test game and of the demo's own story with seeded random
# input; prints the resident-set curve and fails on growth over 2 MB after warm-up. The demo plays
# MIDI music, and the MIDI synthesizer library's heap keeps growing over its first 50 to 100 starts
# before it settles, so the demo's warm-up is half the run.
SOAK_FRAMES ?= 200000
soak: build
	scripts/soak $(BUILD_DIR)/zepa-soak $(DEMO_DIR) tests/reliability/soak-game $(SOAK_FRAMES) --seed 7
	scripts/soak $(BUILD_DIR)/zepa-soak $(DEMO_DIR) - $(SOAK_FRAMES) --seed 7 --warmup $$(($(SOAK_FRAMES) / 2)) \
	  || [ $$? -eq 77 ]

# valgrind memcheck over a short headless run of the test game, then over the demo's own story.
memcheck: build
	scripts/memcheck $(BUILD_DIR)/zepa $(DEMO_DIR) tests/reliability/soak-game 300
	scripts/memcheck $(BUILD_DIR)/zepa $(DEMO_DIR) - 3000

clean:
	rm -rf $(BUILD_DIR) $(SAN_BUILD_DIR) $(TSAN_BUILD_DIR) $(FUZZ_BUILD_DIR) $(WEB_BUILD_DIR)
