#!/usr/bin/env bash
# Restore rows of the benchmark: libcwunzip.so against unzip and 7z x on the same sets, as
# medians of paired runs (each run restores every contender once, in turn, into an empty
# folder). Called by run.sh after its backup rows, or alone once run.sh made the tree:
#   bench/restore.sh [build dir] [work dir] [--runs N] [--big]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=3 big= pos=()
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --big) big=1; shift ;;
    *) pos+=("$1"); shift ;;
  esac
done
build=$(cd "${pos[0]:-$here/../build}" && pwd)
work=${pos[1]:-/tmp/cwbench}
bin=$build/bin
driver=$work/cwbench-restore
c++ -O2 -std=c++20 -I"$here/.." -o "$driver" "$here/cwbench.cpp" \
  "$here/../zip/cwzip/WinZipAes.cpp" -ldl -lnettle -pthread
seven=$(command -v 7zz || command -v 7z)
tree=$work/tree
[ -d "$tree" ] || { echo "no tree in $work: run bench/run.sh first" >&2; exit 2; }
mkdir -p "$work/out" "$work/r"

find "$tree" -type f | sort | awk '{printf "%s|", $0}' > "$work/list.txt"
find "$tree" -type f | sort | sed 's|^/||' | awk '{printf "%s|", $0}' > "$work/stored.txt"
find "$tree/small" -type f | sort | awk '{printf "%s|", $0}' > "$work/small-list.txt"
find "$tree/small" -type f | sort | sed 's|^/||' | awk '{printf "%s|", $0}' > "$work/small-stored.txt"
set=$work/out/set.bks aes=$work/out/aes.bks
[ -f "$set" ] || "$driver" zip "$bin" "$work/list.txt" "$set" 1
[ -f "$aes" ] || "$driver" zipaes "$bin" "$work/small-list.txt" "$aes" pw

declare -A T M
sample() { # name, command...: one timed run into an empty $work/r/<name>
  local name=$1; shift
  rm -rf "$work/r/$name"; mkdir -p "$work/r/$name"
  sync
  local out
  out=$( { "$driver" measure "$@" >/dev/null; } 2>&1 | tail -1 )
  T[$name]="${T[$name]:-} ${out% *}"; M[$name]="${M[$name]:-} ${out#* }"
}
median() { python3 -c "import statistics,sys; print(statistics.median(map(float, sys.argv[1:])))" $1; }

for ((i = 1; i <= runs; i++)); do
  sample cw env CWBENCH_WORKERS=0 "$driver" unzip "$bin" "$set" "$work/r/cw" "$work/stored.txt"
  sample cw_1 env CWBENCH_WORKERS=1 "$driver" unzip "$bin" "$set" "$work/r/cw_1" "$work/stored.txt"
  sample unzip sh -c "unzip -qo '$set' -d '$work/r/unzip'"
  sample 7z_x sh -c "'$seven' x -y -o'$work/r/7z_x' '$set' >/dev/null"
  sample aes env CWBENCH_WORKERS=0 CWBENCH_PASSWORD=pw "$driver" unzip "$bin" "$aes" "$work/r/aes" "$work/small-stored.txt"
  sample aes_1 env CWBENCH_WORKERS=1 CWBENCH_PASSWORD=pw "$driver" unzip "$bin" "$aes" "$work/r/aes_1" "$work/small-stored.txt"
  sample 7z_aes sh -c "'$seven' x -y -ppw -o'$work/r/7z_aes' '$aes' >/dev/null"
done
diff -r "$tree" "$work/r/cw/${tree#/}" >/dev/null && echo "restore: identical" || echo "restore: DIFFERS"
diff -r "$tree/small" "$work/r/aes/${tree#/}/small" >/dev/null && echo "AES restore: identical" || echo "AES restore: DIFFERS"
derive=$("$driver" derive 5000 "$(nproc)")

declare -A MT MM
printf '%-8s %9s %9s   (medians of %d runs)\n' restore seconds "peak KiB" "$runs"
for k in cw cw_1 unzip 7z_x aes aes_1 7z_aes; do
  MT[$k]=$(median "${T[$k]}"); MM[$k]=$(median "${M[$k]}")
  printf '%-8s %9s %9s\n' "$k" "${MT[$k]}" "${MM[$k]}"
done
ratio() { python3 -c "print(f'{$1/$2:.2f}x')"; }
echo "restore time:  $(ratio "${MT[cw]}" "${MT[7z_x]}") of 7z x, $(ratio "${MT[cw]}" "${MT[unzip]}") of unzip"
echo "AES-256, 5,000 small files: $(ratio "${MT[7z_aes]}" "${MT[aes]}") faster than 7z x -p; 5,000 derivations / $(nproc) cores take ${derive} s"
echo "one worker to all ($(nproc)): $(ratio "${MT[cw_1]}" "${MT[cw]}") plain, $(ratio "${MT[aes_1]}" "${MT[aes]}") AES"
echo "restore peak memory: $(ratio "${MM[cw]}" "${MM[unzip]}") of unzip"
rm -rf "$work/r"

if [ -n "$big" ]; then
  mkdir -p "$work/big" "$work/x4"
  [ -f "$work/big/huge.bin" ] || head -c 2G /dev/urandom > "$work/big/huge.bin"
  printf '%s|' "$work/big/huge.bin" > "$work/biglist.txt"
  printf '%s|' "${work#/}/big/huge.bin" > "$work/bigstored.txt"
  [ -f "$work/out/big.bks" ] || "$driver" zip "$bin" "$work/biglist.txt" "$work/out/big.bks" 0
  out=$( { "$driver" measure "$driver" unzip "$bin" "$work/out/big.bks" "$work/x4" "$work/bigstored.txt" >/dev/null; } 2>&1 | tail -1 )
  echo "2 GiB file: restore ${out% *} s, peak ${out#* } KiB (limit 65536)"
  rm -rf "$work/x4"
fi
