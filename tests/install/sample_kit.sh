#!/usr/bin/env bash
# Lays out the sample application as its developer would ship it: the sample's folders, a
# profile that lists them, and the kit copied beside it by the given cwkit (--copy-kit), so
# that what is checked is what that cwkit really puts into an application folder.
#   sample_kit.sh <cwkit> <source dir> <new application folder>
set -euo pipefail
cwkit=$1 src=$2 app=$3

cp -r "$src/examples/inventory-manager" "$app"
rm -f "$app/Templates/.keep"
# No close prompt: the windows are checked by their titles, with nobody to answer it.
printf '%s\r\n' '[Description]' 'Inventory Manager' \
  '[Application]' Data Data/Archive Reports Reports/Monthly Templates '[Windows]' '[System]' \
  '[Encrypt]' true '[Longfile]' true '[EmptyDir]' 1 '[Hidden]' cwNever \
  '[Compression]' cwCompression_Normal '[FileStructure]' cwStructure_Relative \
  '[Support]' 555-0100 '[Startup]' No '[Customize Compression]' No >"$app/cwkcon32.dll"
"$cwkit" --copy-kit "$app" >/dev/null
