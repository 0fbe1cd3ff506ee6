#!/usr/bin/env bash
# The windows of cwb (and cwr) on an application folder of 100,000 small files (100 folders
# of 1,000 files of a few bytes), against a 10-file folder and against the libraries alone.
# Run by hand on a build without sanitizers:
#   bench/windows.sh [build dir (default build)] [work dir (default /tmp/cwwindows)] [--runs N]
# Prints the medians of N runs (default 3) of every row.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=3 positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift ;;
    *) positional+=("$1") ;;
  esac
  shift
done
build=$(cd "${positional[0]:-$here/../build}" && pwd)
work=${positional[1]:-/tmp/cwwindows}
mkdir -p "$work"
work=$(cd "$work" && pwd)
export QT_QPA_PLATFORM=offscreen

cmake --build "$build" --target cwb_windows_bench cwzip cwunzip >/dev/null

# <folder> <sub-folders> <files in each>: an application folder with its profile and the
# compression library beside it, as a cwkit build leaves it.
make_app() {
  local app=$1 dirs=$2 files=$3
  [ -f "$app/cwkcon32.dll" ] && return
  mkdir -p "$app"
  python3 - "$app" "$dirs" "$files" <<'PY'
import os, sys
app, dirs, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
names = []
for d in range(dirs):
    name = f"d{d:03}"
    names.append(name)
    os.makedirs(f"{app}/{name}", exist_ok=True)
    for f in range(files):
        with open(f"{app}/{name}/f{f:04}.txt", "w") as out:
            out.write(f"{d}.{f}\n")
sections = [("Description", ["Bench Application"]), ("Application", names),
            ("Windows", []), ("System", []), ("Encrypt", ["false"]), ("Longfile", ["true"]),
            ("EmptyDir", ["0"]), ("Hidden", ["cwNever"]),
            ("FileStructure", ["cwStructure_Relative"]), ("Support", ["555-0100"]),
            ("Startup", ["No"]), ("Customize Compression", ["No"])]
with open(f"{app}/cwkcon32.dll", "w", newline="") as p:
    for name, body in sections:
        p.write(f"[{name}]\r\n" + "".join(line + "\r\n" for line in body))
PY
}
echo "making the application folders in $work ..."
make_app "$work/big" 100 1000
make_app "$work/small" 1 10
for app in big small; do
  cp -f "$build/bin/libcwzip.so" "$work/$app/libcwzip.so"
done

echo "cwb ($runs runs)"
nice "$build/bench/cwb_windows_bench" "$work/big" "$work/small" "$work" "$runs"

echo "cwr ($runs runs)"
"$here/windows-restore.sh" "$build" "$work/restore" "$runs"
