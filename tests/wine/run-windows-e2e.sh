#!/usr/bin/env bash
# End-to-end run of the Windows launcher under Wine on a real X server, with
# real keys and clicks: the first start seeds the registry; a search hands
# the page to the shell (Wine passes URLs to the host's xdg-open, a stand-in
# here) and is saved with CRLF in %AppData%; a second start hands its term
# over through the named pipe; the Info window copies the registry text and
# starts Notepad (a stand-in beside the launcher) on the history file; the
# window is drawn at its designed size in the designed font.
#   run-windows-e2e.sh <launcher folder> <template prefix> <notepad stand-in>
set -euo pipefail

name=wine-e2e
here=$(dirname "$0")
. "$here/../e2e/common.sh"
. "$here/common.sh"

if [ "${1:-}" != --inside ]; then
    folder=$(realpath "${1:?usage: run-windows-e2e.sh <launcher folder> <template> <notepad>}")
    template=$2
    notepad=$3
    start_wine_test "$template"
    # The launcher as it is unpacked from the zip, with Notepad's stand-in
    # where the shell looks first: beside the program.
    cp -r "$folder" "$work/app"
    cp "$notepad" "$work/app/notepad.exe"
    run_on_xvfb "$0" --inside "$work/app/nimbrel-launcher.exe"
    exit
fi

launcher=$2
settings_key='HKCU\Software\VB and VBA Program Settings\Nimbrel\Settings'
wiki=https://nimbrel.example/nimbrel/wiki/
appdata=$(windows_folder APPDATA)
history_file="$appdata/Nimbrel Launcher/SearchHistory-1.dat"

start_launcher "$launcher"
window=$(find_window '^Nimbrel Launcher')

# The first start seeds exactly these values, as text.
expected="CloseWhenBrowserOpen REG_SZ 0
HistoryListMaxItems REG_SZ 10
Homepage REG_SZ http://www.nimbrel.example/dl/nblauncher.htm
WikiPath REG_SZ $wiki"
[ "$(registry_values "$settings_key")" = "$expected" ] ||
    fail "registry after the first start:
$(wine reg query "$settings_key" 2>&1)"

# The design's proportions (276 x 231 at scale 1), at one scale for both
# sides, whatever the font needs.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN { d = h - w * 231 / 276; print (d < -1.5 || d > 1.5) }')" = 0 ] ||
    fail "the main window is ${WIDTH}x$HEIGHT, not in the design's proportions (276x231)"
echo "$name: the main window is ${WIDTH}x$HEIGHT (276x231 at scale 1)"

# Small letters become capitals; Enter hands the page to the shell.
xdotool type --delay 60 'ab'
xdotool key Return
wait_for_lines "$log" 1

# A second start with a term: handed over through the named pipe, searched
# by the running launcher; the second process ends at once.
started=$(date +%s%N)
wine "$launcher" cd >"$work/second.out" 2>&1 || fail "the second start failed: $(cat "$work/second.out")"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
wait_for_lines "$log" 2
[ "$(xdotool search --onlyvisible --name '^Nimbrel Launcher' | wc -l)" = 1 ] ||
    fail "more than one launcher window after the second start"
echo "$name: a second start handed its term over in $elapsed_ms ms"

# Exit saves what the file lacks.
click "$window" 276 64.5 204.5
wait_for_end
printf 'CD\r\nAB\r\n' | cmp - "$history_file" ||
    fail "history file bytes: $(od -c "$history_file" | head)"

expected_log="[${wiki}AB]
[${wiki}CD]"
[ "$(cat "$log")" = "$expected_log" ] || fail "opened URLs differ; expected:
$expected_log
got:
$(cat "$log")"

# Started again: Info & Settings, then "Copy key to Clipboard": the
# registry path, whole.
start_launcher "$launcher"
window=$(find_window '^Nimbrel Launcher')
click "$window" 276 64.5 52.5
info=$(find_window '^General Info & Settings')
click "$info" 504 428.5 156.5
confirmation=$(find_window '^Confirmation')
xdotool key Return
copied=$(xclip -o -selection clipboard)
[ "$copied" = 'HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Nimbrel\Settings\WikiPath' ] ||
    fail "the clipboard holds: $copied"

# "Edit History List" saves the list, starts Notepad on the file and asks
# whether to reload.
click "$info" 504 72.5 300.5
refresh=$(find_window '^Refresh')
wait_for_lines "$notepad_log" 1
[ "$(cat "$notepad_log")" = "[$(windows_path_of "$history_file")]" ] ||
    fail "Notepad was started with: $(cat "$notepad_log")"

echo "$name: passed (registry seeded, 2 URLs through the shell, hand-over through the pipe, clipboard, Notepad, CRLF history)"
