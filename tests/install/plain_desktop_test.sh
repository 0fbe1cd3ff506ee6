#!/usr/bin/env bash
# The kit that a cwkit lays into an application folder, on a desktop without our Qt,
# libdeflate and nettle (kit_on_plain_desktop.sh).
#   plain_desktop_test.sh <cwkit> <source dir> <cwshot>
set -euo pipefail
cwkit=$1 src=$2 cwshot=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bash "$here/sample_kit.sh" "$cwkit" "$src" "$tmp/invmgr"
echo "plain_desktop_test: the kit laid by $cwkit is $(du -sh "$tmp/invmgr" | cut -f1)" \
  "($(du -sh "$tmp/invmgr/system/runtime" | cut -f1) of it the runtime)"
bash "$here/kit_on_plain_desktop.sh" "$tmp/invmgr" "$src" "$cwshot"
