#!/usr/bin/env bash
# Installs what is missing, builds, and runs quillon on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release >/dev/null
example="examples/Quillon_AverageStrs.txt"
exec build/release/viewer/ui/quillon --info "$example"
