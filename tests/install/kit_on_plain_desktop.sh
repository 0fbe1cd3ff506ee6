#!/usr/bin/env bash
# An application folder as cwkit leaves it must run on a desktop that has no Qt, libdeflate
# or nettle: everything beyond the plain desktop libraries comes from its system/runtime.
# This runs a copy of the folder in a sandbox whose / is such a desktop (enduser-root.sh),
# with nothing of this machine's /usr reachable, and as its user would: back up, test and
# restore from the command line, comparing every restored file with its original, then
# open cwb's and cwr's windows on a virtual screen and check, while each is up, that the
# process maps Qt from the kit and no Qt, libdeflate or nettle from anywhere else.
#   kit_on_plain_desktop.sh <kit folder> <source dir> <cwshot>
set -euo pipefail
if (($# != 3)); then
  echo "usage: kit_on_plain_desktop.sh <kit folder> <source dir> <cwshot>" >&2
  exit 2
fi
kit=$1 src=$2 cwshot=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

for f in cwkcon32.dll cwb cwr libcwzip.so libcwunzip.so; do
  [ -f "$kit/$f" ] || fail "$kit is no application folder: $f is missing"
done
for tool in Xvfb xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing, so no window can be shown"; exit 77; }
done

started=$SECONDS
status=0
made=$(timeout -k 10 1800 bash "$here/enduser-root.sh") || status=$?
if ((status == 77)); then
  echo "$made"
  exit 77
fi
((status == 0)) || fail "the plain desktop root could not be made (status $status)"
root=$(tail -n 1 <<<"$made")
root_note="$(tail -n 2 <<<"$made" | head -n 1)"
root_note="root ${root_note#enduser-root: } ($((SECONDS - started)) s in all)"

checks_started=$SECONDS
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -a "$kit" "$tmp/app"
mkdir "$tmp/work"
export kit_copy=$tmp/app

# The kit and a work folder are the only things of this machine inside; the user is uid
# 1000 with an empty home, as on a freshly set up desktop.
sandbox=(bwrap --ro-bind "$root" / --proc /proc --dev /dev --tmpfs /tmp --tmpfs /home/user
  --perms 0700 --dir /tmp/runtime-user
  --bind "$tmp/app" /app --bind "$tmp/work" /work
  --unshare-all --unshare-user --uid 1000 --gid 1000 --die-with-parent
  --clearenv --setenv HOME /home/user --setenv USER user --setenv LOGNAME user
  --setenv PATH /usr/local/bin:/usr/bin:/bin --setenv LANG C.UTF-8
  --setenv QT_QPA_PLATFORM xcb --setenv XDG_RUNTIME_DIR /tmp/runtime-user --chdir /home/user)

# The command line, inside the sandbox. ldd comes first: a program that misses a library
# names only the first one, ldd names all of them.
timeout -k 10 300 "${sandbox[@]}" /bin/bash -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; exit 1; }
  missing=$(find /app -type f \( -name "*.so*" -o -name cwb -o -name cwr \) -print0 |
    while IFS= read -r -d "" f; do
      ldd "$f" 2>/dev/null | sed -n "s|^[[:space:]]*\(.*\) => not found|  $f needs \1|p"
    done)
  [ -z "$missing" ] ||
    fail "libraries that neither the kit nor a plain desktop has (cannot open shared object file):
$missing"

  # Runs a program of the kit, keeping its output for when it fails.
  run() {
    local log=/work/$(basename "$1").log status=0
    "$@" >"$log" 2>&1 || status=$?
    ((status == 0)) || { tail -n 20 "$log" >&2; fail "$* exited with status $status (output above)"; }
  }
  mkdir /work/backups /work/restored
  run /app/cwb --to /work/backups --name Weekly
  run /app/cwr --test /work/backups/Weekly.bks
  run /app/cwr --restore /work/backups/Weekly.bks --to /work/restored --structure
  /app/cwr --list /work/backups/Weekly.bks >/work/list || fail "cwr --list exited with status $?"
  # "   size  date time  stored name"; a folder name ends in a slash.
  sed -n -E "s/^ *[0-9]+  [0-9-]+ [0-9:]+  //p" /work/list >/work/names

  # Every folder the profile lists is in the set.
  while IFS= read -r folder; do
    grep -qxF "app/$folder/" /work/names || fail "the set lacks the folder $folder that the profile lists"
  done < <(awk "{ sub(/\r\$/, \"\") } /^\[/ { listed = \$0 == \"[Application]\"; next } listed && NF" \
             /app/cwkcon32.dll)

  # The set holds every file of every folder it holds, and each came back identical.
  compared=0
  while IFS= read -r name; do
    case $name in
      */) [ -d "/work/restored/$name" ] || fail "the folder /$name was not restored"
          for f in "/$name"*; do
            if [ -f "$f" ] && ! grep -qxF "${f#/}" /work/names; then
              fail "$f is not in the set, though its folder is"
            fi
          done ;;
      *) [ -f "/work/restored/$name" ] || fail "/$name was not restored (to /work/restored/$name)"
         cmp -s "/$name" "/work/restored/$name" ||
           fail "/work/restored/$name differs from the original /$name"
         compared=$((compared + 1)) ;;
    esac
  done </work/names
  grep -qxF app/cwb /work/names || fail "the set lacks cwb, a file of the application folder"
  echo "$compared" >/work/compared
' || fail "the kit does not back up and restore on a plain desktop"

# Run on this machine while a window is up: the program named $2, process $1 or one below it
# (the sandbox), must map its Qt from the kit and no Qt, libdeflate or nettle from anywhere
# else. Mapped paths read as the sandbox sees them, so the kit is /app; the copy's own path
# counts as the kit too, for a program run outside the sandbox.
descendants() {
  local c
  for c in $(cat /proc/"$1"/task/*/children 2>/dev/null); do echo "$c"; descendants "$c"; done
}
from_kit() { awk -v want="$1" -v a=/app/ -v b="$kit_copy/" '(index($0, a) == 1 || index($0, b) == 1) == want'; }
check_maps() {
  local pid='' p maps offenders
  for p in "$1" $(descendants "$1"); do
    [ "$(cat "/proc/$p/comm" 2>/dev/null)" = "$2" ] && pid=$p
  done
  [ -n "$pid" ] || { echo "FAIL: no process $2 in or below process $1" >&2; return 1; }
  maps=$(sed -E -n 's|^([^ ]+ +){5}(/.*)$|\2|p' "/proc/$pid/maps" | sort -u)
  offenders=$(grep -E 'libQt6|libdeflate|libnettle' <<<"$maps" | from_kit 0 || true)
  if [ -n "$offenders" ]; then
    echo "FAIL: $2 maps Qt, libdeflate or nettle from outside its application folder:" >&2
    sed 's/^/  /' <<<"$offenders" >&2
    return 1
  fi
  if ! from_kit 1 <<<"$maps" | grep -q '/libQt6Core'; then
    echo "FAIL: $2 maps no libQt6Core from its application folder; it maps:" >&2
    sed 's/^/  /' <<<"$maps" >&2
    return 1
  fi
}
export -f descendants from_kit check_maps

mkdir "$tmp/shots"
timeout -k 10 300 "$src/tools/with-xvfb" bash -euo pipefail -c '
  show=$1 cwshot=$2 shots=$3
  shift 3
  x_sandbox=("$@" --ro-bind /tmp/.X11-unix /tmp/.X11-unix --setenv DISPLAY "$DISPLAY")
  # A message box would carry the same title; the start window is much taller.
  "$show" --min-height 250 --check "check_maps \"\$1\" cwb" "$cwshot" Caskwell \
    "$shots/cwb.png" 60 "${x_sandbox[@]}" /app/cwb
  "$show" --check "check_maps \"\$1\" cwr" "$cwshot" "Open Caskwell Backup Set" \
    "$shots/cwr.png" 60 "${x_sandbox[@]}" /app/cwr
' _ "$src/tools/show-window" "$cwshot" "$tmp/shots" "${sandbox[@]}" >"$tmp/windows.log" ||
  { cat "$tmp/windows.log"; fail "the kit's programs do not show their windows on a plain desktop"; }

echo "kit_on_plain_desktop: $(cat "$tmp/work/compared") files backed up and restored identical," \
  "both windows shown, Qt only from the kit; $root_note, checks $((SECONDS - checks_started)) s"
