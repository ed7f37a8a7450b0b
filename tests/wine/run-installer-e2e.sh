#!/usr/bin/env bash
# The Windows installer and the portable zip under Wine: a silent per-user
# install (/S) puts the program, a Start-menu entry and an uninstall entry in
# place; the installed launcher starts and searches; the silent uninstall
# removes all of the program and leaves the user's settings and history. The
# zip holds the same program, which reports its version; both carry the
# four-part file version.
#   run-installer-e2e.sh <installer.exe> <zip> <template prefix> <notepad stand-in>
set -euo pipefail

name=wine-installer
here=$(dirname "$0")
. "$here/../e2e/common.sh"
. "$here/common.sh"

if [ "${1:-}" != --inside ]; then
    installer=$(realpath "${1:?usage: run-installer-e2e.sh <installer> <zip> <template> <notepad>}")
    zip=$(realpath "$2")
    need_tools unzip
    start_wine_test "$3"
    run_on_xvfb "$0" --inside "$installer" "$zip"
    exit
fi

installer=$2
zip=$3
settings_key='HKCU\Software\VB and VBA Program Settings\Nimbrel\Settings'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\NimbrelLauncher'
wiki=https://nimbrel.example/nimbrel/wiki/
programs=$(windows_folder LOCALAPPDATA)/Programs
folder="$programs/Nimbrel Launcher"
appdata=$(windows_folder APPDATA)
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/Nimbrel Launcher.lnk"

# The version resource: VS_FIXEDFILEINFO's signature, then its structure
# version, then the file version as two 32-bit words (1.2 and 0.5).
file_version() { # exe
    local offset words
    offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
    [ -n "$offset" ] || { echo none; return; }
    read -r -a words < <(od -An -tu2 -j $((offset + 8)) -N 8 "$1")
    echo "${words[1]}.${words[0]}.${words[3]}.${words[2]}"
}

# Silent install, as the current user, without asking anything.
wine "$installer" /S >"$work/install.out" 2>&1 || fail "the installer failed: $(cat "$work/install.out")"
[ -f "$folder/nimbrel-launcher.exe" ] || fail "nothing installed in $folder"
[ -f "$folder/platforms/qwindows.dll" ] || fail "the Windows platform plug-in is missing"
[ -f "$shortcut" ] || fail "no Start-menu entry at $shortcut"
[ "$(registry_values "$uninstall_key" | awk '$1 == "DisplayVersion" { print $3 }')" = 1.2.0.5 ] ||
    fail "the uninstall entry: $(wine reg query "$uninstall_key" 2>&1)"
[ "$(file_version "$folder/nimbrel-launcher.exe")" = 1.2.0.5 ] ||
    fail "the launcher's file version is $(file_version "$folder/nimbrel-launcher.exe")"
[ "$(file_version "$installer")" = 1.2.0.5 ] ||
    fail "the installer's file version is $(file_version "$installer")"

# The installed launcher searches a term given on its command line, then Exit.
start_launcher "$folder/nimbrel-launcher.exe" ef
window=$(find_window '^Nimbrel Launcher')
wait_for_lines "$log" 1
[ "$(cat "$log")" = "[${wiki}EF]" ] || fail "opened: $(cat "$log")"
click "$window" 276 64.5 204.5
wait_for_end
history_file="$appdata/Nimbrel Launcher/SearchHistory-1.dat"
printf 'EF\r\n' | cmp - "$history_file" || fail "history file bytes: $(od -c "$history_file" | head)"
settings_before=$(registry_values "$settings_key")
[ -n "$settings_before" ] || fail "the launcher left no settings"

# The uninstaller copies itself away and returns at once: wait for its work.
wine "$folder/uninstall.exe" /S >"$work/uninstall.out" 2>&1 ||
    fail "the uninstaller failed: $(cat "$work/uninstall.out")"
for _ in $(seq 300); do
    [ -e "$folder" ] || break
    sleep 0.1
done
wineserver --wait
[ -e "$folder" ] && fail "left behind after uninstalling: $(find "$folder")"
[ -e "$shortcut" ] && fail "the Start-menu entry is still there"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
# The user's data stays.
printf 'EF\r\n' | cmp - "$history_file" || fail "the uninstaller changed the history"
[ "$(registry_values "$settings_key")" = "$settings_before" ] || fail "the uninstaller changed the settings"

# The zip: the same files, a program that runs from wherever it is unpacked.
unzip -q "$zip" -d "$work/portable"
portable="$work/portable/Nimbrel Launcher"
[ -f "$portable/nimbrel-launcher.exe" ] || fail "the zip holds no Nimbrel Launcher/nimbrel-launcher.exe"
version=$(wine "$portable/nimbrel-launcher.exe" --version 2>&1 | tr -d '\r')
case $version in
*1.2.0.5*) ;;
*) fail "the unpacked launcher's --version says: $version" ;;
esac

echo "$name: passed (silent install, start menu, search, silent uninstall keeping the user's data, zip)"
