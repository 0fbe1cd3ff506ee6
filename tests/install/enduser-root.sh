#!/usr/bin/env bash
# Makes (once) and prints the root of a plain Debian 12 desktop without Qt, libdeflate and
# nettle: the machine an application folder must run on with nothing but what it carries.
#   enduser-root.sh        last line on stdout: the root folder; the line before it says
#                          whether it was made now or found made.
# The root is a minbase system plus the libraries every desktop has (X11/xcb, xkbcommon,
# fontconfig with a font, FreeType, HarfBuzz, libpng, GLib, D-Bus, GL/EGL) and a user
# "user" (uid 1000). It is cached outside the source tree, keyed by its recipe, so a changed
# package list makes a new root and the old one goes. Exit 77 (SKIP) when it cannot be made
# on this machine at all; a mirror that fails is a failure, not a skip.
set -euo pipefail

suite=bookworm
packages=(
  libx11-6 libx11-xcb1 libxcb1 libxcb-icccm4 libxcb-image0 libxcb-keysyms1 libxcb-randr0
  libxcb-render-util0 libxcb-render0 libxcb-shape0 libxcb-shm0 libxcb-sync1 libxcb-xfixes0
  libxcb-xinerama0 libxcb-xkb1 libxcb-util1 libxcb-xinput0 libxkbcommon0 libxkbcommon-x11-0
  libsm6 libice6 libfontconfig1 fonts-dejavu-core libfreetype6 libharfbuzz0b libpng16-16
  libglib2.0-0 libdbus-1-3 libgl1 libegl1 libopengl0
)
hooks=(
  # apt is the only user of GnuTLS and so of nettle in minbase; a nettle in the root would
  # hide a kit that forgot its own. Nothing here runs apt.
  'chroot "$1" dpkg --purge apt libgnutls30 libhogweed6 libnettle8'
  'chroot "$1" useradd --uid 1000 --user-group --create-home --shell /bin/bash user'
  # The root is mounted read-only, so the sandbox's mount points must exist beforehand.
  'mkdir "$1/app" "$1/work"'
)
cache=${CASKWELL_TEST_CACHE:-/var/cache/caskwell-tests}

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

((EUID == 0)) || skip "making the end-user root needs root (mmdebstrap --mode=root)"
for tool in mmdebstrap bwrap flock; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done

# Finds what a plain desktop must not offer; prints each file.
foreign_libraries() {
  find "$1" \( -name 'libQt6*' -o -name 'libdeflate*' -o -name 'libnettle*' \) -print
}

recipe=$(printf '%s\n' minbase "$suite" "${packages[@]}" "${hooks[@]}")
key=$(sha256sum <<<"$recipe" | cut -c 1-16)
root=$cache/enduser-root-$key

mkdir -p "$cache"
exec 9>"$cache/enduser-root.lock"
flock -w 1800 9 || fail "$cache/enduser-root.lock stayed locked for 30 minutes"

# Under the lock nobody else is making a root, so anything not current is stale: an older
# recipe's root or the leftovers of a run that was killed. --one-file-system, in case a
# killed mmdebstrap left /proc or /dev mounted inside.
for old in "$cache"/enduser-root-* "$cache"/.making-*; do
  if [ -e "$old" ] && [ "$old" != "$root" ]; then rm -rf --one-file-system "$old"; fi
done

if [ -d "$root" ]; then
  status="enduser-root: cached"
else
  started=$SECONDS
  work=$(mktemp -d "$cache/.making-XXXXXX")
  trap 'rm -rf --one-file-system "$work"' EXIT
  mkdir "$work/root"
  hook_args=()
  for hook in "${hooks[@]}"; do hook_args+=(--customize-hook="$hook"); done
  echo "enduser-root: making a $suite root in $root (a minute or two)" >&2
  if ! mmdebstrap --variant=minbase --mode=root --format=directory \
      --include="$(IFS=,; echo "${packages[*]}")" "${hook_args[@]}" \
      "$suite" "$work/root" >"$work/log" 2>&1; then
    tail -n 30 "$work/log" >&2
    fail "mmdebstrap could not make the $suite root (is the mirror reachable?); log above"
  fi
  if found=$(foreign_libraries "$work/root") && [ -n "$found" ]; then
    echo "$found" >&2
    fail "the end-user root holds Qt, libdeflate or nettle (above); a package pulls them in"
  fi
  # Made aside and renamed, so no caller ever sees half a root.
  mv -T "$work/root" "$root"
  status="enduser-root: made in $((SECONDS - started)) s"
fi

# Checked on every call: a cached root someone changed by hand must not pass either.
found=$(foreign_libraries "$root")
[ -z "$found" ] || fail "the cached root $root holds Qt, libdeflate or nettle: $found"
echo "$status"
echo "$root"
