#!/bin/sh
# cwr's windows on 100 folders of 1,000 tiny files, offscreen, against a one-entry set and
# against the decompression library alone. Run by hand on a build without sanitizers:
#   bench/windows-restore.sh [build dir (default build)] [work dir] [runs (default 5)]
set -eu
build=${1:-build}
work=${2:-/tmp/cwbench-windows-restore}
runs=${3:-5}
cmake --build "$build" --target bench_restore_windows cwzip cwunzip
# The restores go to a tmpfs when there is one (see restore_windows.cpp).
[ -d /dev/shm ] && [ -z "${CWBENCH_DEST:-}" ] && export CWBENCH_DEST=/dev/shm
QT_QPA_PLATFORM=offscreen nice "$build/tests/bin/bench_restore_windows" "$work" "$runs"
