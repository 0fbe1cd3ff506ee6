#!/usr/bin/env bash
# The installed kit rather than the build tree: install into a temporary prefix, then start
# each program as a user would - cwkit through its link in bin/ from another folder, cwr
# from a copy of the installed folder, cwb from an application folder laid out as a cwkit
# build leaves it - and wait on a virtual screen for its first window.
#   installed_programs.sh <cmake> <build dir> <source dir> <cwshot> <shots dir>
set -euo pipefail
cmake=$1 build=$2 src=$3 cwshot=$4 shots=$5

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is missing, so no program can be shown"
  exit 77
fi

fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

kit=$prefix/lib/caskwell
for f in cwkit cwb cwr libcwzip.so libcwunzip.so TIPOFDAY.TXT help/index.html; do
  [ -f "$kit/$f" ] || fail "$f is not in the installed folder"
done
for f in cwshot cwlaunch; do
  [ ! -e "$kit/$f" ] && [ ! -e "$prefix/bin/$f" ] || fail "$f, a developer tool, was installed"
done
for f in cwkit cwr; do
  [ "$(readlink "$prefix/bin/$f")" = "../lib/caskwell/$f" ] || fail "bin/$f is not a link into the kit's folder"
done
# A path baked into a binary would tie the kit to this build tree: what an application
# folder runs looks only beside itself ($ORIGIN), and cwkit, which runs on the developer's
# own Qt, nowhere of its own.
runpath() { readelf -d "$1" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\1 \2/p'; }
for f in cwb cwr libcwzip.so libcwunzip.so; do
  [ "$(runpath "$kit/$f")" = 'RUNPATH $ORIGIN/system/runtime:$ORIGIN/.local/lib/caskwell/runtime' ] ||
    fail "$f carries the library search path '$(runpath "$kit/$f")'"
  # Only cwkit prints.
  ! readelf -d "$kit/$f" | grep -q 'libQt6PrintSupport' || fail "$f links Qt's print support"
done
[ -z "$(runpath "$kit/cwkit")" ] || fail "cwkit carries the library search path '$(runpath "$kit/cwkit")'"
[ -f "$kit/runtime/runtime.list" ] || fail "the runtime folder is not installed beside cwkit"
while read -r f; do
  case $f in
    *PrintSupport* | *cups*) fail "the runtime carries print support: $f" ;;
  esac
  [ -f "$kit/runtime/$f" ] || fail "the installed runtime lacks $f, which its list names"
  [[ $f == plugins/* ]] && want='$ORIGIN/../..' || want='$ORIGIN'
  [ "$(runpath "$kit/runtime/$f")" = "RUNPATH $want" ] ||
    fail "runtime/$f looks for its needs in '$(runpath "$kit/runtime/$f")', not $want"
done <"$kit/runtime/runtime.list"

# cwkit's build leaves the profile, cwb and libcwzip.so in the application folder.
app=$tmp/app
cp -r "$src/examples/inventory-manager" "$app"
printf '%s\r\n' '[Description]' 'Inventory Manager' '[Application]' Data 'Reports/Monthly' \
  '[Windows]' '[System]' '[Encrypt]' true '[Longfile]' true '[EmptyDir]' 1 '[Hidden]' cwNever \
  '[Compression]' cwCompression_Normal '[FileStructure]' cwStructure_Relative \
  '[Support]' 555-0100 '[Startup]' No '[Customize Compression]' No >"$app/cwkcon32.dll"
cp "$kit/cwb" "$kit/libcwzip.so" "$app/"
! ldd "$app/libcwzip.so" | grep 'not found' || fail "libcwzip.so lacks a library outside the kit"

# cwr from a copy of the installed folder, with the original gone.
cp -a "$kit" "$tmp/moved"

export HOME=$tmp/home
export XDG_CONFIG_HOME=$HOME/.config
mkdir -p "$HOME" "$tmp/elsewhere" "$shots"

"$src/tools/with-xvfb" bash -euo pipefail -c '
  show=$1 cwshot=$2 prefix=$3 app=$4 moved=$5 shots=$6 elsewhere=$7
  cd "$elsewhere"
  PATH="$prefix/bin:$PATH" "$show" "$cwshot" "Caskwell Developer Distribution Kit" \
    "$shots/installed-cwkit.png" 60 cwkit
  # A message box would carry the same title; the start window is much taller.
  "$show" --min-height 250 "$cwshot" Caskwell "$shots/installed-cwb.png" 60 "$app/cwb"
  rm -rf "$prefix/lib"
  "$show" "$cwshot" "Open Caskwell Backup Set" "$shots/installed-cwr.png" 60 "$moved/cwr"
' _ "$src/tools/show-window" "$cwshot" "$prefix" "$app" "$tmp/moved" "$shots" "$tmp/elsewhere"
