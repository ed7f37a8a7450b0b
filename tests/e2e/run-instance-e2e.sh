#!/usr/bin/env bash
# A second start against the running launcher on a real X server with a window
# manager (Openbox), as a key binding would start it: the window comes to the
# front and is active with the focus in the search box, also from minimised;
# a term waits while the Info window is open; SIGTERM with the Info window open
# saves a changed option; a logout through a session manager saves; and a
# display that goes away still leaves the searches saved.
#   run-instance-e2e.sh <launcher executable> <session manager stub>
set -euo pipefail

name=instance-e2e
. "$(dirname "$0")/common.sh"

if [ "${1:-}" != --inside ]; then
    launcher=$(realpath "${1:?usage: run-instance-e2e.sh <launcher> <session manager stub>}")
    stub=${2:?usage: run-instance-e2e.sh <launcher> <session manager stub>}
    if [ ! -x "$stub" ]; then
        [ "${CI:-}" = true ] && fail "the session manager stub was not built (libsm-dev is missing)"
        echo "instance-e2e: skipped, the session manager stub was not built (libsm-dev is missing)"
        exit 77
    fi
    stub=$(realpath "$stub")
    need_tools xvfb-run Xvfb xdotool xauth xprop xmessage openbox

    work=$(mktemp -d)
    xvfb_pid=
    trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
    isolate_home "$work"
    export NIMBREL_E2E_LOG=$work/opened.log
    cat >"$work/bin/xdg-open" <<'STANDIN'
#!/bin/sh
printf '%s\n' "$1" >>"$NIMBREL_E2E_LOG"
STANDIN
    chmod +x "$work/bin/xdg-open"
    export PATH=$work/bin:$PATH WORK=$work
    unset DESKTOP_SESSION XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
    unset DBUS_SESSION_BUS_ADDRESS BROWSER WAYLAND_DISPLAY DISPLAY SESSION_MANAGER
    export QT_QPA_PLATFORM=xcb

    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --inside "$launcher" "$stub"

    # The display goes away under a running launcher: an X server of our own,
    # so that it can be ended.
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 3>"$work/display" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=:$(head -n 1 "$work/display")
    history_file="$AppData/Nimbrel Launcher/SearchHistory-1.dat"
    rm -f "$history_file" "$XDG_RUNTIME_DIR"/nimbrel-launcher.*
    "$launcher" lost >"$work/lost.out" 2>&1 &
    pid=$!
    for _ in $(seq 100); do grep -q 'wiki/LOST' "$NIMBREL_E2E_LOG" 2>/dev/null && break; sleep 0.1; done
    grep -q 'wiki/LOST' "$NIMBREL_E2E_LOG" || fail "the launcher did not search LOST: $(cat "$work/lost.out")"
    kill "$xvfb_pid"
    wait "$xvfb_pid" || true
    xvfb_pid=
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fail "the launcher outlived its display"; fi
    wait "$pid" && status=0 || status=$?
    [ -f "$history_file" ] && printf 'LOST\r\n' | cmp -s - "$history_file" ||
        fail "display lost (exit $status): history not saved; its output: $(cat "$work/lost.out")"
    echo "instance-e2e: display lost: the launcher saved and ended with status $status"
    echo "instance-e2e: passed"
    exit 0
fi

launcher=$2
stub=$3
log=$NIMBREL_E2E_LOG
settings_file="$XDG_CONFIG_HOME/VB and VBA Program Settings/Nimbrel.conf"
wiki=https://nimbrel.example/nimbrel/wiki/

openbox >"$WORK/openbox.log" 2>&1 &
wm_pid=$!
pid=
other_pid=
cleanup() {
    for p in $pid $other_pid $wm_pid ${SM_PID:-}; do kill -0 "$p" 2>/dev/null && kill -KILL "$p"; done
    return 0
}
trap cleanup EXIT
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' ||
    fail "the window manager did not start: $(cat "$WORK/openbox.log")"

"$launcher" >"$WORK/launcher.out" 2>&1 &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nimbrel Launcher' | head -n 1) ||
    fail "no launcher window appeared; its output: $(cat "$WORK/launcher.out")"

active_is() { # window [what]
    for _ in $(seq 50); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "${2:-the window} is not the active window (active: $(xdotool getactivewindow 2>/dev/null || echo none))"
}
wait_for_lines() {
    for _ in $(seq 100); do
        [ -f "$log" ] && [ "$(wc -l <"$log")" -ge "$1" ] && return 0
        sleep 0.1
    done
    fail "expected $1 opened URLs, got: $(cat "$log" 2>/dev/null)"
}
second_start() { # expected-status args...
    local expected=$1 status=0
    shift
    timeout 20 "$launcher" "$@" >"$WORK/second.out" 2>&1 || status=$?
    [ "$status" = "$expected" ] || fail "a second start with '$*' ended with $status: $(cat "$WORK/second.out")"
}

# Another program's window in front, as when the user works elsewhere.
xmessage -geometry +400+400 'another program' &
other_pid=$!
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n 1)
xdotool windowactivate --sync "$other"
active_is "$other" "the other program"

second_start 0
# The second start ends only once the window is active.
[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] || fail "the launcher is not active after the second start ended"
xdotool type --delay 40 'ab'
xdotool key Return
wait_for_lines 1

# The time of the user's action that started the second start (from its
# startup id) is what the window claims when it asks to be activated. Qt keeps
# the time on a window of its own when the window manager asks so.
user_time() {
    local time_window
    time_window=$(xprop -id "$window" _NET_WM_USER_TIME_WINDOW | sed -n 's/.*window id # //p')
    xprop -id "${time_window:-$window}" _NET_WM_USER_TIME | sed -n 's/.* = //p'
}
key_time=$(($(user_time) + 60000))
xdotool windowactivate --sync "$other"
DESKTOP_STARTUP_ID=keybinding-0_TIME$key_time second_start 0
active_is "$window" "the launcher started with a startup id"
[ "$(user_time)" = "$key_time" ] || fail "the startup id's time was not passed on: $(user_time)"

xdotool windowminimize --sync "$window"
xdotool windowactivate --sync "$other"
second_start 0
active_is "$window" "the minimised launcher"
[ -n "$(xdotool search --onlyvisible --name '^Nimbrel Launcher')" ] || fail "the window stayed minimised"
xdotool type --delay 40 'cd'
xdotool key Return
wait_for_lines 2

# The Info window: a term waits for it rather than searching behind it.
eval "$(xdotool getwindowgeometry --shell "$window")"
scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 276 }')
at() { awk -v s="$1" -v v="$2" 'BEGIN { printf "%d", v * s }'; }
xdotool mousemove --window "$window" "$(at "$scale" 64.5)" "$(at "$scale" 52.5)" click 1
info=$(timeout 10 xdotool search --sync --onlyvisible --name '^General Info & Settings$' | head -n 1) ||
    fail "the Info window did not open"
xdotool windowactivate --sync "$other"
second_start 1 busy
grep -q 'was not searched' "$WORK/second.out" || fail "no word why: $(cat "$WORK/second.out")"
active_is "$info" "the Info window"
sleep 0.3
[ "$(wc -l <"$log")" -eq 2 ] || fail "a term was searched behind the Info window: $(cat "$log")"

# Tick "Move History item to top" and end the session with the window open.
eval "$(xdotool getwindowgeometry --shell "$info")"
info_scale=$(awk -v w="$WIDTH" 'BEGIN { print w / 504 }')
xdotool mousemove --window "$info" "$(at "$info_scale" 31)" "$(at "$info_scale" 208.5)" click 1
sleep 0.3
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the launcher with the Info window open"
wait "$pid" || fail "the launcher ended with status $? on SIGTERM; its output: $(cat "$WORK/launcher.out")"
pid=
grep -q '^MoveSearchedtItemToTop=1$' "$settings_file" || fail "the ticked option was not saved: $(cat "$settings_file")"
printf 'CD\r\nAB\r\n' | cmp -s - "$AppData/Nimbrel Launcher/SearchHistory-1.dat" ||
    fail "history: $(od -c "$AppData/Nimbrel Launcher/SearchHistory-1.dat" | head)"
[ "$(cat "$log")" = "${wiki}AB
${wiki}CD" ] || fail "opened URLs: $(cat "$log")"
echo "instance-e2e: activation, minimised window, busy Info window and SIGTERM passed"

# A logout through the session manager saves while the launcher runs on, in
# case the logout is called off.
coproc SM { exec "$stub"; }
sm_says() { # expected line
    local line
    while IFS= read -r -t 10 line <&"${SM[0]}"; do
        [ "$line" = "$1" ] && return 0
        [[ $line == listening* ]] && [[ $1 == listening* ]] && { sm_address=${line#listening }; return 0; }
    done
    fail "the session manager never said '$1'"
}
sm_says listening
rm -f "$log"
SESSION_MANAGER=$sm_address "$launcher" logout >"$WORK/launcher.out" 2>&1 &
pid=$!
sm_says registered
sm_says saved
wait_for_lines 1
history_file="$AppData/Nimbrel Launcher/SearchHistory-1.dat"
echo logout >&"${SM[1]}"
sm_says saved
printf 'LOGOUT\r\nCD\r\nAB\r\n' | cmp -s - "$history_file" ||
    fail "the logout did not save the history: $(od -c "$history_file" | head)"
echo cancel >&"${SM[1]}"
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "the launcher ended on a logout that was called off"
kill -TERM "$pid"
wait "$pid" || fail "the launcher ended with status $? after the logout; its output: $(cat "$WORK/launcher.out")"
pid=
echo "instance-e2e: logout through the session manager passed"
