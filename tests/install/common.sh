# Shared by the install checks: a work folder removed at exit, failures, required tools.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# need TOOL PACKAGE: a missing tool fails the check (scripts/install-deps.sh installs it).
need() {
    command -v "$1" >/dev/null || fail "$1 is missing: install $2 (scripts/install-deps.sh does)"
}
