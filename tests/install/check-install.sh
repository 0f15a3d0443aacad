#!/usr/bin/env bash
# Installs the build into a temporary prefix as a user would, checks the program folder and the
# desktop entry, then starts the installed program (through its link in bin/) on the demo
# gateway with a settings file of its own and waits for a lighting sentence, translated with
# the installed language file and conf.xml, on the display-client port.
# Usage: check-install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
work=$(mktemp -d)
gateway=""
program=""
finish() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$gateway" ] && kill "$gateway" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "FAIL: $*" >&2
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }; done
  exit 1
}

prefix="$work/prefix with space"
folder="$prefix/lib/ombrix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install"

for f in ombrix update italian.lng english.lng conf.xml UnknownRequest.html characters/Civetta.chr; do
  [ -f "$folder/$f" ] || fail "missing $folder/$f"
done
for p in ombrix update; do [ -x "$folder/$p" ] || fail "$folder/$p is not executable"; done
[ "$(readlink -f "$prefix/bin/ombrix")" = "$(readlink -f "$folder/ombrix")" ] || fail "bin/ombrix does not lead to the program folder"
[ "$(readlink -f "$prefix/bin/ombrix-update")" = "$(readlink -f "$folder/update")" ] || fail "bin/ombrix-update does not lead to the program folder"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
  [ -s "$prefix/share/icons/hicolor/$size/apps/ombrix.png" ] || fail "no $size icon"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/ombrix.svg" ] || fail "no scalable icon"

entry="$prefix/share/applications/ombrix.desktop"
desktop-file-validate "$entry" >"$work/validate.log" 2>&1 || fail "desktop-file-validate $entry"
[ ! -s "$work/validate.log" ] || fail "desktop-file-validate has remarks"
grep -qxF "Exec=\"$folder/ombrix\"" "$entry" || fail "Exec does not start $folder/ombrix: $(grep ^Exec= "$entry")"
grep -qxF "Icon=ombrix" "$entry" || fail "Icon is not the installed icon"

# A second install keeps the user's conf.xml and replaces the program's own files.
echo '<!-- the user edited this -->' >>"$folder/conf.xml"
cp "$folder/conf.xml" "$work/conf.edited"
echo changed >"$folder/italian.lng"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "second cmake --install"
cmp -s "$folder/conf.xml" "$work/conf.edited" || fail "a second install replaced the user's conf.xml"
cmp -s "$folder/italian.lng" "$build/bin/italian.lng" || fail "a second install kept an old italian.lng"

# Nothing of the user's is read or written, and no lock of another running program is met.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

client_port=2010
if (exec 3<>"/dev/tcp/127.0.0.1/$client_port") 2>/dev/null; then
  echo "SKIP: port $client_port of 127.0.0.1 is taken by another program" >&2
  exit 77
fi

start=$((20300 + RANDOM % 500))
for port in $(seq "$start" $((start + 99))); do
  "$build/bin/demo-gateway" --interval 200 "$port" >"$work/gateway.log" 2>&1 &
  gateway=$!
  for _ in $(seq 1 50); do
    grep -q listening "$work/gateway.log" && break
    kill -0 "$gateway" 2>/dev/null || break
    sleep 0.1
  done
  grep -q listening "$work/gateway.log" && break
  kill "$gateway" 2>/dev/null || true
  wait "$gateway" 2>/dev/null || true
  gateway=""
done
[ -n "$gateway" ] || fail "no free port for the demo gateway"

cat >"$work/settings.ini" <<CONF
[Option]
Gateway=0
ServerIP=127.0.0.1
ServerPORT=$port
Monitor=1
Agent=0
wschum=1
Start_chk=0
CONF

"$prefix/bin/ombrix" --settings "$work/settings.ini" >"$work/ombrix.log" 2>&1 &
program=$!

connected=""
for _ in $(seq 1 100); do
  kill -0 "$program" 2>/dev/null || fail "the installed program ended"
  if { exec 3<>"/dev/tcp/127.0.0.1/$client_port"; } 2>/dev/null; then connected=1; break; fi
  sleep 0.2
done
[ -n "$connected" ] || fail "the installed program does not listen on $client_port"

# The demo switches a light of the sample installation every second; the client hears of it
# in Italian with the light's name from conf.xml.
timeout 30 cat <&3 >"$work/client.bin" &
reader=$!
heard=""
for _ in $(seq 1 150); do
  if tr '\0' '\n' <"$work/client.bin" | grep -qE '(Soggiorno|Studio|Cucina): (accensione|spegnimento)'; then
    heard=1
    break
  fi
  kill -0 "$reader" 2>/dev/null || break
  sleep 0.2
done
kill "$reader" 2>/dev/null || true
exec 3<&-
[ -n "$heard" ] || fail "no translated lighting sentence reached the client: $(tr '\0' '|' <"$work/client.bin")"
echo "installed program translated: $(tr '\0' '\n' <"$work/client.bin" | grep -aE ': (accensione|spegnimento)' | head -1)"
