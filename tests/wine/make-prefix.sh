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
# The recipe's mark: a prefix made by an older recipe is made again.
version="$(wine --version) fonts"
if [ -f "$folder/.complete" ] && [ "$(cat "$folder/.complete")" = "$version" ]; then
    echo "make-prefix: $folder is ready ($version)"
    exit 0
fi

rm -rf "$folder"
mkdir -p "$folder"
export WINEPREFIX=$folder WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
wineboot --init
wineserver --wait
# Windows keeps its fonts in C:\Windows\Fonts, and the prefix's registry
# names them there ("MS Sans Serif" is sserife.fon), but Debian's Wine
# leaves that folder empty: put Wine's own fonts (fonts-wine) where Windows
# has them, so that programs see the dialog fonts, as they would on Windows.
fonts=/usr/share/wine/fonts
if [ ! -f "$fonts/sserife.fon" ]; then
    echo "make-prefix: Wine's fonts are missing in $fonts (scripts/install-deps windows installs fonts-wine)" >&2
    exit 1
fi
cp "$fonts"/* "$folder/drive_c/windows/Fonts/"
echo "$version" >"$folder/.complete"
echo "make-prefix: made $folder ($version)"
