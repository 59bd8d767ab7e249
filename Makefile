BUILD ?= build
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: deps configure build run test bench clean

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

bench: configure
	cmake --build $(BUILD) --parallel $(JOBS) --target benches
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
