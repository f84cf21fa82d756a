#!/usr/bin/env bash
# loudness-vs-ffmpeg: processor time (user + system, all threads) of
# `lyricade-library loudness` measuring a 3-minute MP3, divided by that of
# FFmpeg's ebur128 filter measuring the same file (`-af ebur128 -f null`),
# and the difference of their integrated loudness in LU. Processor time,
# not wall time, so other work on the machine moves the figure less.
# Medians of 5 runs each, alternating, after a warm-up run of both.
# Without ffmpeg the figure is skipped with a message.
# Prints: lyricade-3min, ffmpeg-3min (s), loudness-vs-ffmpeg (x),
#         loudness-ffmpeg-difference (LU).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${LYRICADE_BUILD:-$root/build-release}
tool=$build/bin/lyricade-library
runs=5

if ! command -v ffmpeg >/dev/null 2>&1; then
  echo "loudness-vs-ffmpeg: skipped (ffmpeg is not installed; apt-get install ffmpeg)"
  exit 0
fi
if [ ! -x "$tool" ]; then
  echo "compare-ffmpeg: $tool is missing; build the tree first" >&2
  exit 1
fi
if [ ! -x /usr/bin/time ]; then
  echo "loudness-vs-ffmpeg: skipped (/usr/bin/time is not installed; apt-get install time)"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Pink noise under a tone, 160 kbit/s CBR as most MP3+G rips are.
gst-launch-1.0 -q \
  audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=4410 num-buffers=1800 ! mix. \
  audiotestsrc wave=sine freq=440 volume=0.2 samplesperbuffer=4410 num-buffers=1800 ! mix. \
  audiomixer name=mix ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! \
  lamemp3enc target=bitrate cbr=true bitrate=160 ! xingmux ! filesink location="$work/song.mp3"
# The tool's import makes a data folder with an empty library the first time.
"$tool" --data-dir "$work/data" import "$work/song.mp3" >/dev/null 2>&1

ours_command=("$tool" --data-dir "$work/data" loudness "$work/song.mp3")
# framelog=verbose keeps the filter's ten lines a second out of the log at the
# default level, as our tool prints one line a song.
ffmpeg_command=(ffmpeg -nostdin -hide_banner -nostats -i "$work/song.mp3"
                -af ebur128=framelog=verbose -f null -)
# Runs a command with its output in $work/out; prints its processor seconds.
cpu_seconds() {
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" >"$work/out" 2>&1
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

cpu_seconds "${ours_command[@]}" >/dev/null
ours_lufs=$(grep -o -- '-\?[0-9.]* LUFS' "$work/out" | head -1 | awk '{ print $1 }')
cpu_seconds "${ffmpeg_command[@]}" >/dev/null
ffmpeg_lufs=$(awk '/I:/ { v = $2 } END { print v }' "$work/out")
if [ -z "$ours_lufs" ] || [ -z "$ffmpeg_lufs" ]; then
  echo "compare-ffmpeg: a measurement gave no integrated loudness" >&2
  exit 1
fi
ours_times=()
ffmpeg_times=()
for _ in $(seq "$runs"); do
  ours_times+=("$(cpu_seconds "${ours_command[@]}")")
  ffmpeg_times+=("$(cpu_seconds "${ffmpeg_command[@]}")")
done
ours=$(printf '%s\n' "${ours_times[@]}" | median)
theirs=$(printf '%s\n' "${ffmpeg_times[@]}" | median)
echo "lyricade runs: ${ours_times[*]} (s of processor)"
echo "ffmpeg runs: ${ffmpeg_times[*]} (s of processor)"
echo "lyricade: $ours_lufs LUFS, ffmpeg: $ffmpeg_lufs LUFS"
echo "lyricade-3min: $ours s"
echo "ffmpeg-3min: $theirs s"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "loudness-vs-ffmpeg: %.2f x\n", a / b }'
awk -v a="$ours_lufs" -v b="$ffmpeg_lufs" \
  'BEGIN { d = a - b; if (d < 0) d = -d; printf "loudness-ffmpeg-difference: %.2f LU\n", d }'
