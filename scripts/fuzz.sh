#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for SECONDS seconds (default 60)
# on a seed corpus made of the demo lists and, when present, ../shared/real-lists.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
BUILD=build-fuzz
cmake -S . -B $BUILD -G Ninja -DORVANTA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build $BUILD
seeds=$BUILD/seeds
rm -rf "$seeds" && mkdir -p "$seeds"
cp demo/Transponders/* "$seeds"/ 2>/dev/null || true
[ -d ../shared/real-lists ] && cp ../shared/real-lists/*.ini "$seeds"/
# Single lines make better seeds for the line fuzzers.
lines=$BUILD/seed-lines
rm -rf "$lines" && mkdir -p "$lines"
n=0
for f in "$seeds"/*; do
  while IFS= read -r l; do n=$((n+1)); printf '%s' "${l#*=}" > "$lines/l$n"; [ $n -gt 2000 ] && break; done < <(grep -a ',' "$f" | tr -d '\r' | head -200)
done
status=0
for fz in $BUILD/fuzz_*; do
  [ -f "$fz" ] && [ -x "$fz" ] || continue
  name=$(basename "$fz")
  corpus=$BUILD/corpus/$name
  mkdir -p "$corpus"
  seed=$seeds
  [ "$name" != fuzz_listfile ] && seed=$lines
  echo "== $name for ${SECONDS_EACH}s"
  if ! "$fz" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$BUILD/$name-" "$corpus" "$seed" 2>"$BUILD/$name.log"; then
    status=1
    tail -40 "$BUILD/$name.log"
  fi
  grep -E '^(Done|#[0-9]+ *DONE)' "$BUILD/$name.log" | tail -1 || tail -2 "$BUILD/$name.log"
done
exit $status
