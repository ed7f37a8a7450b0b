# Shared by the Windows end-to-end scripts; source tests/e2e/common.sh (with
# `name` set) before this file.
. "$(dirname "${BASH_SOURCE[0]}")/prefix.sh"

# Outside the X server: a work folder, a Wine prefix and a home of their own,
# the stand-in browser (Wine hands URLs to the first xdg-open on PATH) and
# the logs. Sets work; exports what the inside needs.
start_wine_test() { # template
    need_tools wine wineserver xvfb-run xdotool xauth xclip
    work=$(mktemp -d)
    trap 'end_wine_prefix; rm -rf "$work"' EXIT
    # Wine's own view of AppData comes from the prefix; a variable of that
    # name from outside would be taken for a Windows path.
    unset AppData APPDATA
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$work/bin"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    new_wine_prefix "$1" "$work/prefix"

    use_browser_standin "$work"
    export NIMBREL_NOTEPAD_LOG
    NIMBREL_NOTEPAD_LOG=$(windows_path "$work/notepad.log")
}

# Runs the script again on an X server of its own.
run_on_xvfb() { # script arguments...
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}

# Inside: the logs, and how long to wait.
work=${WORK:-}
log=$work/opened.log
notepad_log=$work/notepad.log

# A folder Windows names by a variable (APPDATA, LOCALAPPDATA), as a Linux path.
windows_folder() { # variable
    local value
    value=$(wine cmd /c echo "%$1%" | tr -d '\r')
    winepath -u "$value"
}

# The Windows form of a Linux path under the prefix (C:\users\...).
windows_path_of() { # path
    winepath -w "$1" | tr -d '\r'
}

# The values of a registry key as "name type data" lines, sorted.
registry_values() { # key
    wine reg query "$1" | tr -d '\r' | awk 'NF >= 2 && $2 ~ /^REG_/ { $1 = $1; print }' |
        LC_ALL=C sort
}

start_launcher() { # program [arguments...]
    wine "$@" >"$work/launcher.out" 2>&1 &
    launcher_pid=$!
    trap 'if kill -0 "$launcher_pid" 2>/dev/null; then kill -KILL "$launcher_pid"; fi; end_wine_prefix' EXIT
}

# The first visible window whose title matches, once it is there.
find_window() { # title pattern
    local window
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" | head -n 1) ||
        fail "no window \"$1\" appeared; the launcher's output: $(cat "$work/launcher.out")"
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
    echo "$window"
}

wait_for_no_window() { # title pattern
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    [ -n "${NIMBREL_E2E_SHOT:-}" ] && import -window root "$NIMBREL_E2E_SHOT" 2>/dev/null
    fail "the window \"$1\" is still open"
}

# A click at a point of the design (pixels at scale 1) inside a window that
# is <design width> wide at scale 1: the layout scales every position alike.
click() { # window design-width x y
    local WIDTH HEIGHT X Y SCREEN WINDOW x y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    x=$(awk -v w="$WIDTH" -v d="$2" -v v="$3" 'BEGIN { printf "%d", v * w / d }')
    y=$(awk -v w="$WIDTH" -v d="$2" -v v="$4" 'BEGIN { printf "%d", v * w / d }')
    xdotool mousemove --window "$1" "$x" "$y" click 1
    sleep 0.3
}

# Up to 30 s: Wine is slow to start a handler on a loaded machine.
wait_for_lines() { # file count
    for _ in $(seq 300); do
        [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ] && return 0
        sleep 0.1
    done
    fail "expected $2 lines in $(basename "$1"), got: $(cat "$1" 2>/dev/null)"
}

wait_for_end() {
    wait_for_exit "$launcher_pid" "$work/launcher.out"
}
