#!/usr/bin/env bash
# Throughput and memory of the archive libraries against common archivers, on a generated
# mixed tree (source-like text, random binary, thousands of small files, ~200 MB).
# Run by hand on a build without sanitizers:
#   bench/run.sh [build dir (default build)] [work dir (default /tmp/cwbench)]
#                [--big] [--runs N] [--workers N] [--readback]
# --big also stores and restores one 2 GiB file and reports the libraries' peak memory.
# --runs N repeats the writer's rows N times (paired: every archiver once per round) and
# prints medians; --workers N sets the writer's workers (default: one per usable core).
# --readback runs only the rows of the read-back check (backup with and without it); put
# the work dir on the machine's disk, not on a tmpfs, for these to mean anything.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
big= runs=1 workers=0 only= positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --big) big=--big ;;
    --runs) runs=$2; shift ;;
    --workers) workers=$2; shift ;;
    --readback) only=readback ;;
    *) positional+=("$1") ;;
  esac
  shift
done
build=$(cd "${positional[0]:-$here/../build}" && pwd)
work=${positional[1]:-/tmp/cwbench}
bin=$build/bin
cores=$(nproc)
mkdir -p "$work"
driver=$work/cwbench
c++ -O2 -std=c++20 -I"$here/.." -o "$driver" "$here/cwbench.cpp" \
  "$here/../zip/cwzip/WinZipAes.cpp" -ldl -lnettle -ldeflate -pthread
seven=$(command -v 7zz || command -v 7z)

tree=$work/tree
if [ ! -d "$tree" ]; then
  echo "generating $tree ..."
  mkdir -p "$tree/src" "$tree/bin" "$tree/small"
  python3 - "$tree" <<'PY'
import os, random, sys
root = sys.argv[1]
rnd = random.Random(42)
words = "int char return static const void struct include define if else for while".split()
for i in range(400):          # ~100 MB of source-like text
    lines = []
    for j in range(4000):
        lines.append("    " + " ".join(rnd.choice(words) for _ in range(8)) + f"; // {i}.{j}")
    with open(f"{root}/src/file{i:04}.c", "w") as f:
        f.write("\n".join(lines))
for i in range(20):           # ~80 MB of random binary
    with open(f"{root}/bin/blob{i:02}.bin", "wb") as f:
        f.write(os.urandom(4 * 1024 * 1024))
for i in range(5000):         # thousands of small files, ~20 MB
    d = f"{root}/small/d{i // 250:02}"
    os.makedirs(d, exist_ok=True)
    with open(f"{d}/s{i:05}.txt", "w") as f:
        f.write(("small file %d " % i) * rnd.randint(10, 400))
PY
fi
du -sh "$tree"

find "$tree" -type f | sort | awk '{printf "%s|", $0}' > "$work/list.txt"
find "$tree" -type f | sort | sed 's|^/||' | awk '{printf "%s|", $0}' > "$work/stored.txt"

# ---- Read-back: the writer reads every volume back from the disk and checks it ----------
declare -A SAMPLES
sample() { # name, command... : one more measurement of name
  local name=$1; shift
  sync
  local out
  out=$( { "$driver" measure "$@" >/dev/null; } 2>&1 | tail -1 )
  SAMPLES[$name]="${SAMPLES[$name]:-} ${out% *}"
  SAMPLES[$name.mem]="${SAMPLES[$name.mem]:-} ${out#* }"
}
median() { python3 -c "import statistics,sys; print(f'{statistics.median(map(float, sys.argv[1:])):.3f}')" ${SAMPLES[$1]}; }
# The median over the rounds of a/b, each round's pair measured close together.
pairs() { python3 -c "
import statistics, sys
a, b = sys.argv[1].split(), sys.argv[2].split()
print(f'{statistics.median(float(x) / float(y) for x, y in zip(a, b)):.2f}x')" "${SAMPLES[$1]}" "${SAMPLES[$2]}"; }

readback_rows() {
  local r secs mbs
  for ((r = 1; r <= runs; r++)); do
    rm -f "$work/out/rb.bks" "$work/out/norb.bks"
    sample rb "$driver" zip "$bin" "$work/list.txt" "$work/out/rb.bks" 1 "$workers"
    sample norb env CWBENCH_READBACK=0 "$driver" zip "$bin" "$work/list.txt" \
      "$work/out/norb.bks" 1 "$workers"
    read -r secs mbs _ < <("$driver" readback "$work/out/rb.bks")
    SAMPLES[rbsecs]="${SAMPLES[rbsecs]:-} $secs"
    SAMPLES[rbmbs]="${SAMPLES[rbmbs]:-} $mbs"
  done
  echo "read-back, median of $runs paired runs (work dir on $(df --output=fstype "$work" | tail -1)):"
  printf '  %-34s %8s s\n' "backup, read back" "$(median rb)" "backup, not read back" "$(median norb)" \
    "read-back of the set alone" "$(median rbsecs)"
  mbs=$(median rbmbs)
  echo "  read-back:     ${mbs%.*} MB/s; backup with it takes $(pairs rb norb) of the time without"
}
mkdir -p "$work/out"
if [ "$only" = readback ]; then
  readback_rows
  exit 0
fi

declare -A T M S
run() { # name, command...
  local name=$1; shift
  sync
  local out
  out=$( { "$driver" measure "$@" >/dev/null; } 2>&1 | tail -1 )
  T[$name]=${out% *}; M[$name]=${out#* }
}
rm -rf "$work/out"; mkdir -p "$work/out"
run cw_zip "$driver" zip "$bin" "$work/list.txt" "$work/out/set.bks" 1
S[cw_zip]=$(stat -c %s "$work/out/set.bks")
run zip_6 sh -c "cd / && zip -qr -6 '$work/out/zip6.zip' '${tree#/}'"
S[zip_6]=$(stat -c %s "$work/out/zip6.zip")
run 7z_5 sh -c "cd / && '$seven' a -tzip -mx=5 '$work/out/7z5.zip' '${tree#/}' >/dev/null"
S[7z_5]=$(stat -c %s "$work/out/7z5.zip")

for d in x1 x2 x3; do rm -rf "$work/$d"; mkdir -p "$work/$d"; done

ratio() { python3 -c "print(f'{$1/$2:.2f}x')"; }
printf '%-10s %9s %9s %12s\n' run seconds "peak KiB" "size"
for k in cw_zip zip_6 7z_5; do
  printf '%-10s %9s %9s %12s\n' "$k" "${T[$k]}" "${M[$k]}" "${S[$k]:-}"
done
echo "backup time:  $(ratio "${T[cw_zip]}" "${T[zip_6]}") of zip -6, $(ratio "${T[cw_zip]}" "${T[7z_5]}") of 7z -mx=5"
echo "backup size:  $(ratio "${S[cw_zip]}" "${S[zip_6]}") of zip -6"
echo "peak memory:  backup $(ratio "${M[cw_zip]}" "${M[zip_6]}") of zip"

# ---- The writer's rows: medians of paired runs --------------------------------------
writer_rows() {
  local small=$tree/small
  find "$small" -type f | sort | awk '{printf "%s|", $0}' > "$work/smalllist.txt"
  local r
  for ((r = 1; r <= runs; r++)); do
    rm -f "$work/out/w.bks" "$work/out/w1.bks" "$work/out/z6.zip" "$work/out/t.tar.gz" \
      "$work/out/aes.bks" "$work/out/7aes.zip"
    sample cw "$driver" zip "$bin" "$work/list.txt" "$work/out/w.bks" 1 "$workers"
    sample cw1 "$driver" zip "$bin" "$work/list.txt" "$work/out/w1.bks" 1 1
    sample zip6 sh -c "cd / && zip -qr -6 '$work/out/z6.zip' '${tree#/}'"
    sample pigz sh -c "cd / && tar -cf - '${tree#/}' | pigz -p $cores -6 > '$work/out/t.tar.gz'"
    sample aes "$driver" zip "$bin" "$work/smalllist.txt" "$work/out/aes.bks" 1 "$workers" "Pass Word"
    sample plain "$driver" zip "$bin" "$work/smalllist.txt" "$work/out/w1.bks" 1 "$workers"
    sample 7aes sh -c "cd / && '$seven' a -tzip -mem=AES256 -mx=5 -p'Pass Word' '$work/out/7aes.zip' '${small#/}' >/dev/null"
    SAMPLES[derive]="${SAMPLES[derive]:-} $("$driver" derive 5000 "$cores")"
  done
  local cwsize z6size
  cwsize=$(stat -c %s "$work/out/w.bks"); z6size=$(stat -c %s "$work/out/z6.zip")
  echo "writer, median of $runs paired runs ($cores cores, ${workers/#0/all} workers):"
  printf '  %-34s %8s s\n' "backup, all workers" "$(median cw)" "backup, one worker" "$(median cw1)" \
    "zip -r -6" "$(median zip6)" "tar | pigz -p $cores -6" "$(median pigz)" \
    "AES, 5,000 small files" "$(median aes)" "same, no password" "$(median plain)" \
    "7zz AES-256 -mx=5, same files" "$(median 7aes)" "5,000 derivations / $cores cores" "$(median derive)"
  echo "  backup time:   $(pairs cw zip6) of zip -6, $(pairs cw pigz) of pigz"
  echo "  backup size:   $(python3 -c "print(f'{$cwsize/$z6size:.3f}x')") of zip -6"
  echo "  workers:       all workers take $(pairs cw cw1) of one worker's time"
  echo "  AES:           $(pairs aes 7aes) of 7zz's time, $(pairs aes plain) of no password"
  echo "  peak memory:   backup $(median cw.mem) KiB"
}
writer_rows
readback_rows

if [ "$big" = "--big" ]; then
  mkdir -p "$work/big"
  # Half random, half text: one file that is part incompressible, part compressible.
  [ -f "$work/big/mixed.bin" ] || { head -c 1G /dev/urandom; cat "$tree"/src/*.c | head -c 100M |
    python3 -c "import sys; d = sys.stdin.buffer.read(); [sys.stdout.buffer.write(d) for _ in range(11)]" |
    head -c 1G; } > "$work/big/mixed.bin"
  printf '%s|' "$work/big/mixed.bin" > "$work/biglist.txt"
  printf '%s|' "${work#/}/big/mixed.bin" > "$work/bigstored.txt"
  for level in 0 2 3 1; do
    rm -f "$work/out/big.bks"
    sample "big$level" "$driver" zip "$bin" "$work/biglist.txt" "$work/out/big.bks" "$level" "$workers"
  done
  rm -f "$work/out/bigz.zip"
  sample bigzip sh -c "zip -q -6 '$work/out/bigz.zip' '$work/big/mixed.bin'"
  rm -f "$work/out/bigz.zip"
  echo "2 GiB file: backup $(median big1) s, zip -6 $(median bigzip) s: $(pairs big1 bigzip) of zip -6"
  echo "2 GiB file: backup peak KiB at levels none/minimum/maximum/normal:" \
    "$(median big0.mem) $(median big2.mem) $(median big3.mem) $(median big1.mem) (limit 65536)"
  rm -rf "$work/x4"; mkdir -p "$work/x4"
  rm -rf "$work/x4" "$work/out/big.bks"
fi

# Restore rows: their own script, on the set just written.
"$here/restore.sh" "$build" "$work" --runs "$runs" ${big:+--big}
