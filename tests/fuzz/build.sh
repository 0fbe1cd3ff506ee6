#!/usr/bin/env bash
# Builds the libFuzzer target with clang (AddressSanitizer and UndefinedBehaviorSanitizer):
#   tests/fuzz/build.sh [out dir (default build-fuzz)]
# then, for example:
#   tests/fuzz/make-seeds build build-fuzz/seeds
#   nice build-fuzz/fuzz_unzip -max_total_time=1800 -max_len=65536 build-fuzz/corpus build-fuzz/seeds
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mkdir -p "${1:-$root/build-fuzz}" && cd "${1:-$root/build-fuzz}" && pwd)
sources=("$root"/zip/cwunzip/*.cpp)
for f in CentralDirectory Events IncludeList Paths VolumeSet Volumes; do
  sources+=("$root/zip/common/$f.cpp")
done
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" -I"$root/zip/include" $(pkg-config --cflags libdeflate nettle zlib) \
  "$root/tests/fuzz/fuzz_unzip.cpp" "${sources[@]}" \
  $(pkg-config --libs libdeflate nettle zlib) -lpthread -o "$out/fuzz_unzip"
echo "$out/fuzz_unzip"
