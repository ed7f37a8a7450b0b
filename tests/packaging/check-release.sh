#!/usr/bin/env bash
# The .deb as released: built from the `package` preset (Debian's hardening
# flags, cmake/DebianBuildFlags.cmake) in a build tree of its own, then checked
# the way Debian checks packages. See tests/packaging/CMakeLists.txt.
# Usage: check-release.sh build|hardening|lintian
#   build      configures, builds and packages; the other two cases check its .deb
#   hardening  the launcher is PIE, BIND_NOW, RELRO, has stack protection, and
#              was compiled with dpkg-buildflags' flags, which fortify calls
#   lintian    lintian -EvIL +pedantic reports no error and no warning
# Environment: SOURCE_DIR, BUILD_DIR, CMAKE, CPACK.
set -euo pipefail
. "$(dirname "$0")/common.sh"

case_name=$1
# Kept between runs, so that running the suite again rebuilds only what changed.
tree=$BUILD_DIR/packaging-release
out=$tree/deb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT



the_deb() {
    local debs=("$out"/*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] ||
        fail "no single .deb in $out (packaging_release_build makes it): ${debs[*]}"
    printf '%s\n' "${debs[0]}"
}

# What dpkg-buildflags gives, as cmake/DebianBuildFlags.cmake asks for it.
buildflags() {
    (cd "$SOURCE_DIR" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1")
}

check_build() {
    need dpkg-buildflags dpkg-shlibdeps file
    local log=$work/log
    rm -rf "$out"
    "$CMAKE" -S "$SOURCE_DIR" --preset package -B "$tree" >"$log" 2>&1 ||
        fail "configuring the package preset failed: $(cat "$log")"
    "$CMAKE" --build "$tree" -j"$(nproc)" >"$log" 2>&1 ||
        fail "building the package preset failed: $(tail -n 60 "$log")"
    "$CPACK" --config "$tree/CPackConfig.cmake" -G DEB -B "$out" >"$log" 2>&1 ||
        fail "cpack failed: $(cat "$log")"
    echo "built $(the_deb)"
}

check_hardening() {
    need dpkg-deb dpkg-buildflags readelf nm
    local deb
    deb=$(the_deb)
    dpkg-deb -x "$deb" "$work/root"
    local exe=$work/root/usr/bin/nimbrel-launcher
    [ -f "$exe" ] || fail "the package has no usr/bin/nimbrel-launcher"

    # The linker's part: read-only relocations resolved at start-up, and a
    # position-independent executable.
    local dynamic
    dynamic=$(readelf -dW "$exe")
    grep -Eq '\(FLAGS\) +.*\bBIND_NOW\b' <<<"$dynamic" || fail "no BIND_NOW (-z now): $dynamic"
    grep -Eq '\(FLAGS_1\) +Flags:.* NOW\b' <<<"$dynamic" || fail "no FLAGS_1 NOW: $dynamic"
    grep -Eq '\(FLAGS_1\) +Flags:.* PIE\b' <<<"$dynamic" || fail "no FLAGS_1 PIE: $dynamic"
    readelf -hW "$exe" | grep -Eq '^ *Type: +DYN ' || fail "not a position-independent executable"
    readelf -lW "$exe" | grep -q 'GNU_RELRO' || fail "no RELRO segment (-z relro)"

    local imports
    imports=$(nm -D --undefined-only "$exe")
    grep -Eq ' __stack_chk_fail(@|$)' <<<"$imports" ||
        fail "no stack protector: the launcher does not import __stack_chk_fail"

    # The compiler's part: every source of the package build got Debian's flags.
    local commands=$work/commands flag lacking
    grep '"command":' "$tree/compile_commands.json" >"$commands" || fail "no compile commands"
    for flag in $(buildflags CPPFLAGS) $(buildflags CXXFLAGS); do
        lacking=$(grep -cvF -- " $flag " "$commands" || true)
        [ "$lacking" -eq 0 ] || fail "$lacking compile commands lack $flag, e.g.
$(grep -vF -- " $flag " "$commands" | head -n 1)"
    done

    # _FORTIFY_SOURCE turns a call into its checked _chk variant only where the
    # compiler knows the size of the destination but not the length; the
    # launcher's own code (Qt containers and strings) has no such call, so its
    # binary imports none. Show that the flags it was compiled with do fortify,
    # on a call that can be checked.
    local compiler probe_flags
    compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$tree/CMakeCache.txt")
    probe_flags=$(grep -m1 -F '/main.cpp' "$commands" | tr ' ' '\n' |
        grep -E '^-(O[0-9sg]?|g|f[a-z].*|W[a-z].*|D_FORTIFY_SOURCE=[0-9]+)$' | tr '\n' ' ')
    [[ $probe_flags == *-D_FORTIFY_SOURCE=* ]] || fail "main.cpp is compiled without _FORTIFY_SOURCE"
    cat >"$work/probe.cpp" <<'PROBE'
#include <cstddef>
#include <cstring>
extern "C" int probe(const char *text, std::size_t length)
{
    char buffer[32];
    std::memcpy(buffer, text, length);
    return buffer[length / 2];
}
PROBE
    # shellcheck disable=SC2086  # the flags are words
    "$compiler" $probe_flags -c "$work/probe.cpp" -o "$work/probe.o" ||
        fail "the probe does not compile with $probe_flags"
    nm --undefined-only "$work/probe.o" | grep -q ' __memcpy_chk$' ||
        fail "the launcher's flags ($probe_flags) do not fortify memcpy"
    nm --undefined-only "$work/probe.o" | grep -q ' __stack_chk_fail$' ||
        fail "the launcher's flags ($probe_flags) do not protect the stack"

    echo "the launcher: PIE, BIND_NOW, RELRO; its checked imports:" \
        "$(grep -Eo '__[a-z_]*chk[a-z_]*' <<<"$imports" | sort -u | tr '\n' ' ')"
    echo "its sources are compiled with: $(buildflags CPPFLAGS) $(buildflags CXXFLAGS)"
    echo "a memcpy compiled with those flags imports:" \
        "$(nm --undefined-only "$work/probe.o" | grep -Eo '__[a-z_]*chk[a-z_]*' | tr '\n' ' ')"
}

check_lintian() {
    need lintian
    local deb log=$work/lintian.log status=0
    deb=$(the_deb)
    lintian --version
    # Errors and warnings fail; info (I:) and pedantic (P:) tags are shown.
    lintian -EvIL +pedantic --fail-on error,warning "$deb" >"$log" 2>&1 || status=$?
    cat "$log"
    if grep -Eq '^[EW]: ' "$log"; then
        fail "lintian reports errors or warnings: $(grep -E '^[EW]: ' "$log")"
    fi
    [ "$status" -eq 0 ] || fail "lintian exited $status"
}

"check_$case_name"
