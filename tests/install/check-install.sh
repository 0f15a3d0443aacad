#!/usr/bin/env bash
# Installs the build as a user and as a packager would: first that what run.sh builds is enough
# to install; then into a temporary prefix, checking the program folder, the desktop entry, the
# metainfo and the manual pages; then a staged install (DESTDIR) file for file against it. Last
# it starts the installed program (through its link in bin/) on the demo gateway with a settings
# file of its own and waits for a lighting sentence, translated with the installed language file
# and conf.xml, on the display-client port.
# Usage: check-install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
id=org.tervalia.Ombrix
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
# The files of a tree, one relative path a line, links included.
tree() { (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort); }

# What run.sh builds is enough to install: every file the install takes from the build tree is
# made when the build is configured, or by a target run.sh builds (found by walking the build
# graph up from the file to the targets that need it).
eval "$(grep -m1 '^run_targets=(' "$source_dir/scripts/run.sh")" || true
[ -n "${run_targets:-}" ] || fail "scripts/run.sh has no run_targets line"
ninja=$(sed -n 's/^CMAKE_MAKE_PROGRAM:[A-Z]*=//p' "$build/CMakeCache.txt")
if grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt" && [ -x "$ninja" ]; then
  built_by_run() {
    local -a queue=("$1")
    local -A seen=()
    local node t
    while [ ${#queue[@]} -gt 0 ]; do
      node=${queue[0]}
      queue=("${queue[@]:1}")
      for t in "${run_targets[@]}"; do [ "$node" = "$t" ] && return 0; done
      [ -n "${seen[$node]:-}" ] && continue
      seen[$node]=1
      while IFS= read -r t; do queue+=("$t"); done < <("$ninja" -C "$build" -t query "$node" 2>/dev/null |
        awk '/^  outputs:/ { out = 1; next } /^  [a-z]/ { out = 0 } out { sub(/^ +/, ""); print }')
    done
    return 1
  }
  needed=0
  while IFS= read -r f; do
    case $f in "$build"/*) ;; *) continue ;; esac
    needed=$((needed + 1))
    rel=${f#"$build"/}
    if "$ninja" -C "$build" -t query "$rel" >/dev/null 2>&1; then
      built_by_run "$rel" || fail "the install needs $rel, which run.sh (${run_targets[*]}) does not build"
    else
      [ -e "$f" ] || fail "the install needs $rel, which configuring did not make"
    fi
  done < <(find "$build" -name cmake_install.cmake -exec grep -h 'file(INSTALL' {} + | grep -oE '"[^"]+"' | tr -d '"' | sort -u)
  [ "$needed" -gt 0 ] || fail "found no file the install takes from the build tree"
else
  echo "not a Ninja build: what run.sh builds is not checked" >&2
fi

prefix="$work/prefix with space"
folder="$prefix/lib/ombrix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install"

for f in ombrix update italian.lng english.lng conf.xml UnknownRequest.html characters/Civetta.chr; do
  [ -f "$folder/$f" ] || fail "missing $folder/$f"
done
for p in ombrix update; do [ -x "$folder/$p" ] || fail "$folder/$p is not executable"; done
cmp -s "$folder/conf.xml" "$source_dir/data/conf.xml" || fail "the first install did not bring the sample conf.xml"
[ "$(readlink -f "$prefix/bin/ombrix")" = "$(readlink -f "$folder/ombrix")" ] || fail "bin/ombrix does not lead to the program folder"
[ "$(readlink -f "$prefix/bin/ombrix-update")" = "$(readlink -f "$folder/update")" ] || fail "bin/ombrix-update does not lead to the program folder"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
  [ -s "$prefix/share/icons/hicolor/$size/apps/$id.png" ] || fail "no $size icon"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"

entry="$prefix/share/applications/$id.desktop"
desktop-file-validate "$entry" >"$work/validate.log" 2>&1 || fail "desktop-file-validate $entry"
[ ! -s "$work/validate.log" ] || fail "desktop-file-validate has remarks"
grep -qxF "Exec=\"$folder/ombrix\"" "$entry" || fail "Exec does not start $folder/ombrix: $(grep ^Exec= "$entry")"
grep -qxF "Icon=$id" "$entry" || fail "Icon is not the installed icon"

# Software centres list it: the metainfo validates, names the desktop entry and this release.
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "no $metainfo"
command -v appstreamcli >/dev/null || fail "appstreamcli is missing (Debian package appstream; scripts/setup.sh installs it)"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || fail "appstreamcli validate --no-net $metainfo"
! grep -qE '^[EW]:' "$work/appstream.log" || fail "appstreamcli validate has errors or warnings"
appstreamcli validate-tree --no-net "$prefix" >"$work/appstream.log" 2>&1 || fail "appstreamcli validate-tree --no-net $prefix"
grep -qF "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $id.desktop"
version=$("$folder/update" --version | awk '{ print $2 }')
grep -qE "<release version=\"$version\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"" "$metainfo" || fail "the metainfo does not give release $version"

# The manual pages render without a warning.
command -v groff >/dev/null || fail "groff is missing (Debian package groff-base; scripts/setup.sh installs it)"
for page in ombrix ombrix-update; do
  man="$prefix/share/man/man1/$page.1"
  [ -f "$man" ] || fail "no $man"
  LC_ALL=C.UTF-8 groff -man -ww -z "$man" >"$work/groff.log" 2>&1 || fail "groff $man"
  [ ! -s "$work/groff.log" ] || fail "groff warns on $man"
  grep -qF "Ombrix $version" "$man" || fail "$man does not give version $version"
  for option in program-folder settings help version; do
    case $page:$option in ombrix-update:program-folder | ombrix-update:settings) continue ;; esac
    written="\\-\\-${option//-/\\-}"
    grep -qF -- "$written" "$man" || fail "$man does not tell of --$option"
  done
done

# Staged as a packager does: every file once under DESTDIR at the prefix's place, the same files
# as the install above, nothing at the prefix itself; the menu entry names the prefix.
stage="$work/stage"
staged_prefix="$work/packaged prefix"
DESTDIR="$stage" "$cmake" --install "$build" --prefix "$staged_prefix" >"$work/install.log" || fail "DESTDIR cmake --install"
[ ! -e "$staged_prefix" ] || fail "the staged install wrote at the prefix itself"
[ -d "$stage$staged_prefix" ] || fail "nothing under DESTDIR at the prefix"
tree "$stage" | awk -v at="${staged_prefix#/}/" 'index($0, at) != 1' >"$work/outside.txt"
[ ! -s "$work/outside.txt" ] || fail "the staged tree holds files outside the prefix: $(head -3 "$work/outside.txt")"
diff <(tree "$prefix") <(tree "$stage$staged_prefix") >"$work/staged.log" || fail "the staged tree is not the installed one"
diff <(tree "$prefix" | sed "s|^|$staged_prefix/|") <(LC_ALL=C sort "$build/install_manifest.txt") >"$work/manifest.log" ||
  fail "install_manifest.txt does not list each staged file once"
cmp -s "$stage$staged_prefix/lib/ombrix/conf.xml" "$source_dir/data/conf.xml" || fail "the staged program folder has no sample conf.xml"
grep -qxF "Exec=\"$staged_prefix/lib/ombrix/ombrix\"" "$stage$staged_prefix/share/applications/$id.desktop" ||
  fail "the staged Exec does not start the program at the prefix"
# A staged tree is a package's: staged again, it gets the build's conf.xml, not what was there.
echo '<!-- left in the stage -->' >>"$stage$staged_prefix/lib/ombrix/conf.xml"
DESTDIR="$stage" "$cmake" --install "$build" --prefix "$staged_prefix" >"$work/install.log" || fail "second DESTDIR cmake --install"
cmp -s "$stage$staged_prefix/lib/ombrix/conf.xml" "$source_dir/data/conf.xml" || fail "staging again kept the stage's conf.xml"

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
