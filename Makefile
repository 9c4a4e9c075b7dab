# The two commands of the README: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps build run run-dvb test clean

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

clean:
	rm -rf $(BUILD)
