#!/usr/bin/env bash
# Builds, then starts the demo gateway on 127.0.0.1 and Ombrix talking to it, with a
# settings store of its own (the user's real settings are not touched).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
port=${OMBRIX_DEMO_PORT:-20000}
"$here/scripts/setup.sh"

config=$(mktemp -d)
cat >"$config/Ombrix.conf" <<CONF
[Option]
Gateway=0
ServerIP=127.0.0.1
ServerPORT=$port
Monitor=1
CONF

"$build/bin/demo-gateway" "$port" &
gateway=$!
trap 'kill "$gateway" 2>/dev/null || true; rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" "$build/bin/ombrix" "$@"
