#!/usr/bin/env bash
# cdg-vs-ffmpeg: whole-process time of FFmpeg's CD+G decoder over the 5-minute
# rip-like stream, divided by that of cdgframe rendering its last frame.
# Medians of 7 runs each, after a warm-up run of both.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${LYRICADE_BUILD:-$root/build-release}
if ! command -v ffmpeg >/dev/null 2>&1; then
  as_root=(); [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends ffmpeg >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/cdgdemo" --rip-like 300 "$work/rip.cdg" >/dev/null

median_ms() {
  local times=()
  "$@" >/dev/null 2>&1  # warm-up
  for _ in 1 2 3 4 5 6 7; do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 4p
}

ffmpeg_us=$(median_ms ffmpeg -nostdin -v error -f cdg -i "$work/rip.cdg" -f null -)
ours_us=$(median_ms "$build/bin/cdgframe" "$work/rip.cdg" --at 300 -o "$work/last.png")
echo "ffmpeg: $((ffmpeg_us / 1000)) ms, cdgframe: $((ours_us / 1000)) ms"
awk -v a="$ffmpeg_us" -v b="$ours_us" 'BEGIN { printf "cdg-vs-ffmpeg: %.1f x\n", a / b }'
