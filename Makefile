BUILD ?= build
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: deps configure build run test asan bench clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo; fi

build: configure
	cmake --build $(BUILD) --parallel $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)/penvarro/bin/penvro

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of their own. Any report fails the test that caused it; leak
# reports from system libraries are suppressed by scripts/lsan.supp.
ASAN_BUILD ?= build-asan
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

asan: deps
	@if [ ! -f $(ASAN_BUILD)/CMakeCache.txt ]; then cmake -S . -B $(ASAN_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_SANITIZE=ON; fi
	cmake --build $(ASAN_BUILD) --parallel $(JOBS)
	cd $(ASAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j$(JOBS)

bench: configure
	cmake --build $(BUILD) --parallel $(JOBS) --target benches
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
