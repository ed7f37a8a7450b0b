# Shared by the packaging checks: sourced, not run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A missing tool skips the case (exit 77) on a developer's machine; under CI,
# where scripts/install-deps has run, it is a failure.
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        [ "${CI:-}" = true ] && fail "$tool is missing; scripts/install-deps installs it"
        echo "skipped: $tool is missing (scripts/install-deps test installs it)"
        exit 77
    done
}
