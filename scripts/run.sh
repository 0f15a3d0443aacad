#!/usr/bin/env bash
# Sets up, builds and starts Ombrix on the demo gateway: a gateway simulator on 127.0.0.1
# with a demo program folder (build/demo) and a settings store of its own, so the user's
# own settings are never read or written and no real gateway is contacted.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
# What it starts (the program, the demo gateway and the files beside them) and `update`, so
# that `cmake --install` finds both programs afterwards. The tests and benchmarks are built by
# test.sh. The install test reads this line.
run_targets=(ombrix update demo-gateway ombrix_data)
"$here/scripts/setup.sh" "${run_targets[@]}"

demo="$build/demo"
mkdir -p "$demo"
cp "$build/bin/"*.lng "$here/data/conf.xml" "$demo/"
# The characters the options offer, as the build has them now.
rm -rf "$demo/characters"
cp -R "$build/bin/characters" "$demo/"
[ -f "$build/bin/ico.icl" ] && cp "$build/bin/ico.icl" "$demo/"

# The first free port from 20100 on: the gateway says so once it listens.
log=$(mktemp)
gateway=""
trap '[ -n "$gateway" ] && kill "$gateway" 2>/dev/null; rm -f "$log"' EXIT
for port in $(seq 20100 20199); do
  "$build/bin/demo-gateway" "$port" >"$log" 2>&1 &
  gateway=$!
  for _ in $(seq 1 20); do
    grep -q listening "$log" && break
    kill -0 "$gateway" 2>/dev/null || break
    sleep 0.1
  done
  grep -q listening "$log" && break
  kill "$gateway" 2>/dev/null || true
  wait "$gateway" 2>/dev/null || true
  gateway=""
done
if [ -z "$gateway" ]; then
  echo "run.sh: no free port for the demo gateway on 127.0.0.1" >&2
  exit 1
fi

cat >"$demo/settings.ini" <<CONF
[Option]
Gateway=0
ServerIP=127.0.0.1
ServerPORT=$port
Monitor=1
Agent=0
CONF

echo "Demo gateway on 127.0.0.1:$port; program folder $demo"
"$build/bin/ombrix" --program-folder "$demo" --settings "$demo/settings.ini" "$@"
