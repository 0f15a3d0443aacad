#!/usr/bin/env bash
# The program's open descriptors while peers hold many connections to its three remote
# services (display client 2010, policy 843, snapshot 1037) at once, under the desktop's
# usual limit of 1024 open files. Starts the demo gateway and the program on a folder and a
# settings store of their own, opens the connections (spread evenly over the ports) and holds
# them, samples /proc/PID/fd, then lets go and checks the program is still there.
#
#   bench/remote/held_connections.sh [connections] [gateway port] [hold seconds] [ports]
#
# ports: "2010 843 1037" (the default), or any of them, e.g. "843".
#
# Uses the fixed ports 2010, 843 and 1037: nothing else may listen on them. Needs a display
# (DISPLAY) or QT_QPA_PLATFORM=offscreen. SHOW_FDS=1 lists what the descriptors are after.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}
total=${1:-1200}
gport=${2:-20000}
hold=${3:-6}
read -r -a ports <<<"${4:-2010 843 1037}"

folder=$(mktemp -d)
cp "$build/bin/"*.lng "$here/data/conf.xml" "$folder/"
cat >"$folder/settings.ini" <<CONF
[Option]
Gateway=0
ServerIP=127.0.0.1
ServerPORT=$gport
Monitor=1
Agent=0
wschum=1
CONF

"$build/bin/demo-gateway" "$gport" >"$folder/gateway.log" 2>&1 &
gateway=$!
( ulimit -n 1024; exec "$build/bin/ombrix" --program-folder "$folder" --settings "$folder/settings.ini" ) \
  >"$folder/ombrix.log" 2>&1 &
program=$!
cleanup() {
  kill "$program" "$gateway" 2>/dev/null
  wait "$program" "$gateway" 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT

fds() { ls "/proc/$program/fd" 2>/dev/null | wc -l; }
for _ in $(seq 1 100); do
  (exec 3<>/dev/tcp/127.0.0.1/1037) 2>/dev/null && break
  sleep 0.1
done
sleep 1
idle=$(fds)

held=()
refused=0
most=0
for i in $(seq 1 "$total"); do
  if [ $((i % 50)) -eq 0 ]; then
    n=$(fds)
    [ "$n" -gt "$most" ] && most=$n
  fi
  port=${ports[$((i % ${#ports[@]}))]}
  if exec {fd}<>"/dev/tcp/127.0.0.1/$port" 2>/dev/null; then
    held+=("$fd")
  else
    refused=$((refused + 1))
  fi
done
for _ in $(seq 1 $((hold * 10))); do
  n=$(fds)
  [ "$n" -gt "$most" ] && most=$n
  sleep 0.1
done
for fd in "${held[@]}"; do exec {fd}>&-; done
sleep 1
after=$(fds)
[ -n "${SHOW_FDS:-}" ] && ls -l "/proc/$program/fd" | sed "s/.*-> //" | sort | uniq -c
alive=yes
kill -0 "$program" 2>/dev/null || alive=no

echo "held connections: ${#held[@]} of $total opened ($refused failed to connect)"
echo "program descriptors: idle $idle, most while held $most, after $after; still running: $alive"
