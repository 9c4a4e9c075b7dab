#!/bin/sh
# Builds and runs the start-up benchmark: program start-up with 1000 list
# files against cat reading them, and the program's idle resident memory.
set -e
cd "$(dirname "$0")/.."
cmake --build build --target bench_startup orvanta simulated_receiver
exec build/bench_startup
