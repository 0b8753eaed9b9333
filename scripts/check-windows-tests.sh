#!/usr/bin/env bash
# The README's list of the test suites that run under Wine against what the Windows build's
# ctest lists (the part of each test's name before its first dot). Run after the Windows build's
# tests were configured; exits 1, naming the differences, when the two differ.
#   scripts/check-windows-tests.sh
set -euo pipefail
cd "$(dirname "$0")/.."
listed=$(sed -n '/^<!-- windows-tests -->$/,/^<!-- end windows-tests -->$/p' README.md |
  grep -v '^<!--\|^```' | sed 's/^[^:]*://' | tr -s ' ' '\n' | sed '/^$/d' | sort -u)
built=$(ctest --preset windows -N | sed -n 's/^ *Test *#[0-9]*: //p' | sed 's/\..*//' | sort -u)
if [ -z "$built" ]; then
  echo "check-windows-tests: ctest --preset windows lists no test" >&2
  exit 1
fi
if [ "$listed" != "$built" ]; then
  echo "check-windows-tests: the README's list of the tests under Wine is out of step:" >&2
  diff <(echo "$listed") <(echo "$built") | sed -n 's/^< /  listed but not built: /p; s/^> /  built but not listed: /p' >&2
  exit 1
fi
echo "check-windows-tests: the README lists the $(echo "$built" | wc -l) suites that run under Wine"
