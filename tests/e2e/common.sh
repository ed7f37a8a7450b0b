# Shared by the end-to-end scripts; set `name` (the prefix of their messages)
# before sourcing.

fail() { echo "$name: FAIL: $*" >&2; exit 1; }

# Skips the test (exit 77) when one of the tools is missing on a developer's
# machine; under CI=true a missing tool fails it.
need_tools() { # tool...
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            [ "${CI:-}" = true ] && fail "$tool is missing (scripts/install-deps installs it)"
            echo "$name: skipped, $tool is missing"
            exit 77
        fi
    done
}

# A home of its own under the work folder: the real user's settings and
# history stay untouched. Also makes <work>/bin for stand-ins.
isolate_home() { # work
    export HOME=$1/home XDG_CONFIG_HOME=$1/config XDG_DATA_HOME=$1/data
    export XDG_CACHE_HOME=$1/cache XDG_RUNTIME_DIR=$1/runtime AppData=$1/AppData
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$AppData" "$1/bin"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

# The stand-in browser: the launcher hands URLs to the first xdg-open on
# PATH, this one, which logs one line per call, each argument in brackets,
# to NIMBREL_E2E_LOG (<work>/opened.log). Also leaves no desktop session
# for the launcher or xdg-open to find.
use_browser_standin() { # work
    export NIMBREL_E2E_LOG=$1/opened.log
    cat >"$1/bin/xdg-open" <<'STANDIN'
#!/bin/sh
line=
for argument in "$@"; do line="$line[$argument]"; done
printf '%s\n' "$line" >>"$NIMBREL_E2E_LOG"
STANDIN
    chmod +x "$1/bin/xdg-open"
    export PATH=$1/bin:$PATH
    unset DESKTOP_SESSION XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
    unset DBUS_SESSION_BUS_ADDRESS BROWSER QT_QPA_PLATFORM WAYLAND_DISPLAY DISPLAY
    export WORK=$1
}

# Waits up to 15 s for a launcher to end, and fails unless it ended with
# status 0; its output file is shown when it did not.
wait_for_exit() { # pid output
    for _ in $(seq 150); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$1" 2>/dev/null && fail "the launcher did not end"
    wait "$1" || fail "the launcher ended with status $?; its output: $(cat "$2")"
}
