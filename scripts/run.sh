#!/usr/bin/env bash
# Sets up, builds and starts Ombrix.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
"$here/scripts/setup.sh"
exec "$build/bin/ombrix" "$@"
