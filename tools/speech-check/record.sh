#!/usr/bin/env bash
# Records what the character's voice really sends to the sound output: a private PulseAudio
# server whose only sink writes every sample (16-bit mono, 16 kHz) into a file, while
# speech-check speaks one sentence. Needs pulseaudio and pulseaudio-utils.
# Usage: record.sh BUILD_DIR [OUT.raw [LANGUAGE [SENTENCE]]]
set -euo pipefail
build=${1:?build folder}
out=${2:-$build/speech-check.raw}
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR=$runtime PULSE_RUNTIME_PATH=$runtime/pulse
trap 'pulseaudio --kill 2>/dev/null || true; kill "${reader:-}" 2>/dev/null || true; rm -rf "$runtime"' EXIT

mkfifo "$runtime/sink"
cat "$runtime/sink" >"$out" &
reader=$!
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix \
  --load="module-pipe-sink sink_name=speech file=$runtime/sink format=s16le rate=16000 channels=1" 2>/dev/null
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink speech

"$build/bin/speech-check" "${3:-english}" "${4:-The kitchen light is on.}"
pulseaudio --kill
wait "$reader" 2>/dev/null || true

# The sink has no clock: it fills the file with silence wherever the voice did not keep up.
# What counts is the voiced time, the 10 ms stretches with a sample above 500.
python3 - "$out" <<'PY'
import array, sys
s = array.array('h', open(sys.argv[1], 'rb').read())
voiced = sum(1 for i in range(0, len(s), 160) if max(map(abs, s[i:i + 160])) > 500)
if not voiced:
    sys.exit("no speech recorded")
print(f"speech recorded: {voiced / 100:.2f} s voiced, peak {max(map(abs, s))}")
PY
