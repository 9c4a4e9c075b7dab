# The two commands of the README: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps build run run-dvb test clean test-asan fuzz fuzz-short format format-check

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	cd demo && ../$(BUILD)/orvanta

# The program with the receiver library for real DVB-S/S2 frontends
# (devices/linuxdvb/README.md). It runs from a folder of its own, so build/
# keeps the simulated receiver beside the program.
DVB_RUN = $(BUILD)/run-dvb
run-dvb: build
	mkdir -p $(DVB_RUN)
	cp -f $(BUILD)/orvanta $(DVB_RUN)/orvanta
	ln -sfn ../linuxdvb/DWUSBAPI.dll $(DVB_RUN)/DWUSBAPI.dll
	cd demo && ../$(DVB_RUN)/orvanta

test: build
	ctest --test-dir $(BUILD) --output-on-failure

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DORVANTA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-asan
	ctest --test-dir build-asan --output-on-failure

# libFuzzer targets: `make fuzz` runs each for FUZZ_SECONDS (default 600).
FUZZ_SECONDS ?= 600
fuzz: deps
	bash scripts/fuzz.sh $(FUZZ_SECONDS)
fuzz-short: deps
	bash scripts/fuzz.sh 60

# Formatting of every C++ file under version control.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')
format:
	clang-format -i $(FORMAT_FILES)
format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
