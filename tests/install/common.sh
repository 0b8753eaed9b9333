# Shared by the install checks: a work folder removed at exit, failures, required tools; and what
# every test script shares (skip, wait_for, ...), but a failed check ends the check at once.
. "$(dirname "${BASH_SOURCE[0]}")/../support/script_support.sh"
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
