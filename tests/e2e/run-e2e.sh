#!/usr/bin/env bash
# End-to-end run of the installed launcher on a real X server: type a term with
# real key events and press Return, type a second one, click the older history
# item and launch it with the button, then Exit. Checks the URLs handed to the
# browser, the history file's bytes and the settings file.
#   run-e2e.sh <build directory> [cmake executable]
set -euo pipefail

name=e2e
. "$(dirname "$0")/common.sh"

if [ "${1:-}" != --inside ]; then
    build=$(realpath "${1:?usage: run-e2e.sh <build directory> [cmake]}")
    cmake=${2:-cmake}
    need_tools xvfb-run xdotool xauth

    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    isolate_home "$work"

    # Installed as a user would get it, into a prefix of its own.
    "$cmake" --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
        fail "cmake --install failed: $(cat "$work/install.log")"
    launcher=$work/prefix/bin/nimbrel-launcher
    [ -x "$launcher" ] || fail "the install put no launcher at $launcher"

    use_browser_standin "$work"
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --inside "$launcher"
    exit
fi

launcher=$2
log=$NIMBREL_E2E_LOG
history_file="$AppData/Nimbrel Launcher/SearchHistory-1.dat"
settings_file="$XDG_CONFIG_HOME/VB and VBA Program Settings/Nimbrel.conf"
wiki=https://nimbrel.example/nimbrel/wiki/

QT_QPA_PLATFORM=xcb "$launcher" >"$WORK/launcher.out" 2>&1 &
pid=$!
cleanup() {
    if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
}
trap cleanup EXIT

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nimbrel Launcher' | head -n 1) ||
    fail "no launcher window appeared; its output: $(cat "$WORK/launcher.out")"
# No window manager runs: give the window the keyboard focus directly.
xdotool windowfocus --sync "$window"
sleep 0.5

# Sizes scale with the font; the design is 276 pixels wide at scale 1.
eval "$(xdotool getwindowgeometry --shell "$window")"
scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 276 }')
at() { awk -v s="$scale" -v v="$1" -v d="${2:-0}" 'BEGIN { printf "%d", v * s + d }'; }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

wait_for_lines() {
    local want=$1
    for _ in $(seq 100); do
        [ -f "$log" ] && [ "$(wc -l <"$log")" -ge "$want" ] && return 0
        sleep 0.1
    done
    fail "expected $want opened URLs, got: $(cat "$log" 2>/dev/null)"
}

# Small letters become capitals, the full stop is discarded.
xdotool type --delay 40 'alpha.1-x'
xdotool key Return
wait_for_lines 1
xdotool type --delay 40 'beta'
xdotool key Return
wait_for_lines 2

# The list holds BETA above ALPHA1-X: click the second item, then launch it.
click "$(at 128 30)" "$(at 40 24)"
sleep 0.3
click "$(at 192)" "$(at 204.5)"
wait_for_lines 3

click "$(at 64.5)" "$(at 204.5)" # Exit
wait_for_exit "$pid" "$WORK/launcher.out"

expected_log="[${wiki}ALPHA1-X]
[${wiki}BETA]
[${wiki}ALPHA1-X]"
[ "$(cat "$log")" = "$expected_log" ] ||
    fail "opened URLs differ; expected:
$expected_log
got:
$(cat "$log")"

printf 'BETA\r\nALPHA1-X\r\n' | cmp - "$history_file" ||
    fail "history file bytes: $(od -c "$history_file" | head)"

# A first run seeds exactly these four values and writes nothing else.
expected_settings="CloseWhenBrowserOpen=0
HistoryListMaxItems=10
Homepage=http://www.nimbrel.example/dl/nblauncher.htm
WikiPath=$wiki
[Settings]"
[ "$(grep -v '^$' "$settings_file" | LC_ALL=C sort)" = "$expected_settings" ] ||
    fail "settings file:
$(cat "$settings_file")"

echo "e2e: passed (3 URLs opened, history and settings as expected)"
