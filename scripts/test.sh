#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Exits non-zero when anything fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
"$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
