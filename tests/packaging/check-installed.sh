#!/usr/bin/env bash
# Checks one case of the installed launcher; see tests/packaging/CMakeLists.txt.
# Usage: check-installed.sh installed_tree|deb_package|desktop_window
# Environment: BUILD_DIR, APP_ID, CMAKE, CPACK.
set -euo pipefail
. "$(dirname "$0")/common.sh"

case_name=$1
work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT



install_to() {
    "$CMAKE" --install "$BUILD_DIR" --prefix "$1" >"$work/install.log" ||
        fail "cmake --install failed: $(cat "$work/install.log")"
}

desktop_value() {
    sed -n "s/^$2=//p" "$1" | head -n 1
}

# Width x height from a PNG's IHDR chunk.
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# Starts an installed launcher with its own HOME, XDG folders and AppData, so
# that the real user's settings and history stay untouched. Extra arguments are
# environment assignments.
start_isolated() {
    local exe=$1
    shift
    local user=$work/user
    mkdir -p "$user/home" "$user/config" "$user/data" "$user/appdata" "$user/runtime"
    chmod 700 "$user/runtime"
    env -i PATH="$PATH" HOME="$user/home" XDG_CONFIG_HOME="$user/config" \
        XDG_DATA_HOME="$user/data" XDG_RUNTIME_DIR="$user/runtime" AppData="$user/appdata" \
        "$@" "$exe" >"$work/launcher.log" 2>&1 &
    pid=$!
}

stop_launcher() {
    kill -0 "$pid" 2>/dev/null || fail "the launcher exited early: $(cat "$work/launcher.log")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

check_installed_tree() {
    need desktop-file-validate appstreamcli
    local prefix=$work/prefix
    install_to "$prefix"
    local share=$prefix/share
    local desktop=$share/applications/$APP_ID.desktop
    local metainfo=$share/metainfo/$APP_ID.metainfo.xml

    [ -x "$prefix/bin/nimbrel-launcher" ] || fail "bin/nimbrel-launcher is not installed"
    [ -f "$desktop" ] || fail "the desktop entry is not installed"
    [ -f "$metainfo" ] || fail "the AppStream metainfo is not installed"
    [ -f "$share/icons/hicolor/scalable/apps/$APP_ID.svg" ] || fail "the scalable icon is not installed"
    [ -f "$share/man/man1/nimbrel-launcher.1.gz" ] || fail "the manual page is not installed"
    for size in 16 32 48 64 128 256; do
        local png=$share/icons/hicolor/${size}x${size}/apps/$APP_ID.png
        [ -f "$png" ] || fail "the ${size} px icon is not installed"
        [ "$(png_size "$png")" = "${size}x${size}" ] ||
            fail "the ${size} px icon measures $(png_size "$png")"
    done

    # Hints are suggestions; anything else desktop-file-validate prints is a fault.
    local complaints
    complaints=$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ' || true)
    [ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"

    # The files must point at each other and at what is installed; the
    # validators check each file only on its own.
    [ "$(desktop_value "$desktop" Name)" = "Nimbrel Launcher" ] || fail "wrong Name in the desktop entry"
    [ "$(desktop_value "$desktop" Icon)" = "$APP_ID" ] || fail "the desktop entry's Icon is not $APP_ID"
    local exec
    exec=$(desktop_value "$desktop" Exec)
    [ -x "$prefix/bin/${exec%% *}" ] || fail "Exec=$exec is not an installed program"
    grep -q "<id>$APP_ID</id>" "$metainfo" || fail "the metainfo id is not $APP_ID"
    grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $APP_ID.desktop"
    grep -q '<release version="1.25"' "$metainfo" || fail "the metainfo lacks release 1.25"
}

check_deb_package() {
    need dpkg-deb dpkg-shlibdeps
    "$CPACK" --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
        fail "cpack failed: $(cat "$work/cpack.log")"
    local debs=("$work"/out/*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
    local deb=${debs[0]}

    [ "$(dpkg-deb -f "$deb" Package)" = nimbrel-launcher ] || fail "wrong package name"
    # The Debian revision comes from packaging/changelog.Debian.
    [ "$(dpkg-deb -f "$deb" Version)" = 1.2.0.5-1 ] || fail "version is $(dpkg-deb -f "$deb" Version)"
    local maintainer='Nimbrel Launcher developers <maintainers@nimbrel.example>'
    [ "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer" ] ||
        fail "maintainer is $(dpkg-deb -f "$deb" Maintainer)"
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    # Versioned library packages only appear when dpkg-shlibdeps scanned the binary.
    for lib in libc6 libqt6core6 libqt6widgets6; do
        [[ $depends == *"$lib ("* ]] || fail "Depends lacks $lib: $depends"
    done

    local root=$work/root
    dpkg-deb -x "$deb" "$root"
    [ -f "$root/usr/share/applications/$APP_ID.desktop" ] || fail "the package lacks the desktop entry"
    [ -f "$root/usr/share/metainfo/$APP_ID.metainfo.xml" ] || fail "the package lacks the metainfo"
    local address=${maintainer#*<}
    grep -qF "<update_contact>${address%>}</update_contact>" "$root/usr/share/metainfo/$APP_ID.metainfo.xml" ||
        fail "the metainfo's update_contact is not the maintainer's address"
    local doc=$root/usr/share/doc/nimbrel-launcher
    [ -f "$doc/copyright" ] || fail "the package lacks its copyright file"
    [ -f "$doc/changelog.Debian.gz" ] || fail "the package lacks changelog.Debian.gz"
    [ -f "$root/usr/share/man/man1/nimbrel-launcher.1.gz" ] || fail "the package lacks the manual page"
    # gzip -n: no file name, no time stamp (header bytes 3 to 7 are zero).
    local gz
    for gz in "$doc/changelog.Debian.gz" "$root/usr/share/man/man1/nimbrel-launcher.1.gz"; do
        [ "$(od -An -tu1 -j3 -N5 "$gz" | tr -s ' ')" = " 0 0 0 0 0" ] ||
            fail "${gz#"$root"} carries a file name or time stamp"
    done
    local newest
    newest=$(gzip -dc "$doc/changelog.Debian.gz" | head -n 1)
    [[ $newest == "nimbrel-launcher (1.2.0.5-1) "* ]] || fail "the changelog's newest entry is $newest"
    gzip -dc "$doc/changelog.Debian.gz" | grep -qF -- " -- $maintainer  " ||
        fail "the changelog is not signed by $maintainer"

    start_isolated "$root/usr/bin/nimbrel-launcher" QT_QPA_PLATFORM=offscreen
    sleep 2
    # The settings store is seeded during start-up, before the window is shown.
    grep -q '^WikiPath=' "$work/user/config/VB and VBA Program Settings/Nimbrel.conf" ||
        fail "the installed launcher did not start up: $(cat "$work/launcher.log")"
    [ -d "$work/user/appdata/Nimbrel Launcher" ] || fail "the installed launcher made no data folder"
    stop_launcher
}

# The desktop groups a running window under its menu entry by StartupWMClass
# (a mismatch shows a generic icon and a second taskbar entry) and shows the
# icon the window carries.
check_desktop_window() {
    need xvfb-run xdotool xprop
    if [ "${1:-}" != inside-x ]; then
        local status=0
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" desktop_window inside-x || status=$?
        return $status
    fi
    local prefix=$work/prefix
    install_to "$prefix"
    local wmclass
    wmclass=$(desktop_value "$prefix/share/applications/$APP_ID.desktop" StartupWMClass)
    [ -n "$wmclass" ] || fail "the desktop entry has no StartupWMClass"

    start_isolated "$prefix/bin/nimbrel-launcher" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
        QT_QPA_PLATFORM=xcb
    local window
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nimbrel Launcher, v' | head -n 1) ||
        fail "the launcher showed no window: $(cat "$work/launcher.log")"
    local class
    class=$(xprop -id "$window" WM_CLASS)
    [[ $class == *", \"$wmclass\"" ]] || fail "StartupWMClass=$wmclass, but the window has $class"
    xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window carries no 32 px icon"
    stop_launcher
}

"check_$case_name" "${@:2}"
