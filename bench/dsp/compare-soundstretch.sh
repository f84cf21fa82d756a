#!/usr/bin/env bash
# Whole-process time of `dspfile --key 2` against SoundTouch's own
# `soundstretch -pitch=2 -quick` on the same 3-minute 44.1 kHz stereo WAV.
# Each program runs once to warm up (GStreamer builds its plugin registry,
# files come into the page cache), then five times, alternating; the figure is
# the ratio of the median times.
# Prints: dspfile-3min, soundstretch-3min (seconds), dsp-vs-soundstretch (x).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${LYRICADE_BUILD:-$root/build-release}
dspfile=$build/tools/dspfile/dspfile
runs=5

if ! command -v soundstretch >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  echo "compare-soundstretch: installing soundstretch"
  # Another install may hold the package lock for a while: wait for it.
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 soundstretch >/dev/null
fi
if [ ! -x "$dspfile" ]; then
  echo "compare-soundstretch: $dspfile is missing; build the tree first" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 3 minutes: 1800 buffers of 4410 frames; pink noise under a tone so the
# shifter's correlation search has real material to work on.
gst-launch-1.0 -q \
  audiotestsrc wave=pink-noise volume=0.2 samplesperbuffer=4410 num-buffers=1800 ! mix. \
  audiotestsrc wave=sine freq=330 volume=0.3 samplesperbuffer=4410 num-buffers=1800 ! mix. \
  audiomixer name=mix ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! wavenc ! \
  filesink location="$work/in.wav"

run_dspfile() { "$dspfile" "$work/in.wav" "$work/dsp.wav" --key 2; }
run_soundstretch() { soundstretch "$work/in.wav" "$work/st.wav" -pitch=2 -quick >/dev/null 2>&1; }

seconds() {
  local start end
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", (e - s) / 1e9 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

run_dspfile
run_soundstretch
dsp_times=()
st_times=()
for _ in $(seq "$runs"); do
  dsp_times+=("$(seconds run_dspfile)")
  st_times+=("$(seconds run_soundstretch)")
done
dsp=$(printf '%s\n' "${dsp_times[@]}" | median)
st=$(printf '%s\n' "${st_times[@]}" | median)
echo "dspfile runs: ${dsp_times[*]}"
echo "soundstretch runs: ${st_times[*]}"
echo "dspfile-3min: $dsp s"
echo "soundstretch-3min: $st s"
awk -v a="$dsp" -v b="$st" 'BEGIN { printf "dsp-vs-soundstretch: %.2f x\n", a / b }'
