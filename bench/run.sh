#!/usr/bin/env bash
# Throughput and memory of the archive libraries against common archivers, on a generated
# mixed tree (source-like text, random binary, thousands of small files, ~200 MB).
# Run by hand on a build without sanitizers:
#   bench/run.sh [build dir (default build)] [work dir (default /tmp/cwbench)] [--big] [--runs N]
# --big also stores and restores one 2 GiB file and reports the libraries' peak memory.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=3 pos=() # --runs N: the restore rows are medians of N paired runs
while (($#)); do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    *) pos+=("$1"); shift ;;
  esac
done
build=$(cd "${pos[0]:-$here/../build}" && pwd)
work=${pos[1]:-/tmp/cwbench}
big=${pos[2]:-}
bin=$build/bin
mkdir -p "$work"
driver=$work/cwbench
c++ -O2 -std=c++20 -o "$driver" "$here/cwbench.cpp" -ldl -lnettle
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


ratio() { python3 -c "print(f'{$1/$2:.2f}x')"; }
printf '%-10s %9s %9s %12s\n' run seconds "peak KiB" "size"
for k in cw_zip zip_6 7z_5; do
  printf '%-10s %9s %9s %12s\n' "$k" "${T[$k]}" "${M[$k]}" "${S[$k]:-}"
done
echo "backup time:  $(ratio "${T[cw_zip]}" "${T[zip_6]}") of zip -6, $(ratio "${T[cw_zip]}" "${T[7z_5]}") of 7z -mx=5"
echo "backup size:  $(ratio "${S[cw_zip]}" "${S[zip_6]}") of zip -6"
echo "peak memory:  backup $(ratio "${M[cw_zip]}" "${M[zip_6]}") of zip"

if [ "$big" = "--big" ]; then
  mkdir -p "$work/big"
  [ -f "$work/big/huge.bin" ] || head -c 2G /dev/urandom > "$work/big/huge.bin"
  printf '%s|' "$work/big/huge.bin" > "$work/biglist.txt"
  printf '%s|' "${work#/}/big/huge.bin" > "$work/bigstored.txt"
  run big_zip "$driver" zip "$bin" "$work/biglist.txt" "$work/out/big.bks" 0
  echo "2 GiB file: backup peak ${M[big_zip]} KiB (limit 65536)"
fi

# Restore rows: their own script, on the set just written.
"$here/restore.sh" "$build" "$work" --runs "$runs" ${big:+--big}
