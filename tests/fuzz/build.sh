#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer):
#   tests/fuzz/build.sh [out dir (default build-fuzz)]
# scripts/fuzz builds them, makes their seeds and runs each for a while.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mkdir -p "${1:-$root/build-fuzz}" && cd "${1:-$root/build-fuzz}" && pwd)

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root" -I"$root/zip/include")
zip_libs=$(pkg-config --libs libdeflate nettle zlib)
zip_common() { for f in "$@"; do echo "$root/zip/common/$f.cpp"; done; }

# target name, then its sources beside tests/fuzz/<name>.cpp, then "--" and link flags
target() {
  local name=$1 sources=() libs=()
  shift
  while (($#)) && [ "$1" != "--" ]; do sources+=("$1"); shift; done
  (($#)) && shift
  libs=("$@")
  clang++ "${flags[@]}" $(pkg-config --cflags libdeflate nettle zlib) \
    "$root/tests/fuzz/$name.cpp" "${sources[@]}" "${libs[@]}" -lpthread -o "$out/$name"
  echo "$out/$name"
}

target fuzz_unzip "$root"/zip/cwunzip/*.cpp \
  $(zip_common CentralDirectory Cores Events IncludeList Paths TempFiles VolumeSet Volumes) \
  -- $zip_libs
target fuzz_directory $(zip_common CentralDirectory Volumes) -- $zip_libs
qt=$(pkg-config --cflags --libs Qt6Core)
target fuzz_fields "$root/common/Format.cpp" "$root/restore/Listing.cpp" \
  "$root/backup/BackupIncludeList.cpp" $(zip_common IncludeList) -- -fPIC $qt
target fuzz_profile "$root/common/profile/Profile.cpp" "$root/common/profile/ProfileFile.cpp" \
  "$root/common/platform/FilePaths.cpp" "$root/common/platform/FileSystem.cpp" -- -fPIC $qt
