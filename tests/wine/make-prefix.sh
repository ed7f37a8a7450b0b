#!/usr/bin/env bash
# Makes the Wine prefix that every Windows test starts from (a copy each), once
# for a build tree and again when Wine changes.
#   make-prefix.sh <folder>
set -euo pipefail
folder=${1:?usage: make-prefix.sh <folder>}

if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
    echo "make-prefix: wine is missing (scripts/install-deps windows installs it)" >&2
    exit 1
fi
version=$(wine --version)
if [ -f "$folder/.complete" ] && [ "$(cat "$folder/.complete")" = "$version" ]; then
    echo "make-prefix: $folder is ready ($version)"
    exit 0
fi

rm -rf "$folder"
mkdir -p "$folder"
export WINEPREFIX=$folder WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
wineboot --init
wineserver --wait
echo "$version" >"$folder/.complete"
echo "make-prefix: made $folder ($version)"
