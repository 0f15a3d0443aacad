#!/usr/bin/env bash
# Sets up, builds everything and runs the whole test suite. Exits non-zero when anything fails.
# OMBRIX_JOBS, else CMAKE_BUILD_PARALLEL_LEVEL, limits the parallel build jobs and tests.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
"$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure --parallel "${OMBRIX_JOBS:-${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}}" --timeout 300
