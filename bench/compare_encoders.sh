#!/usr/bin/env bash
# Compares `koma export` (GIF, APNG, WebP) with ImageMagick, ffmpeg, Pillow, gifsicle, apngasm and
# img2webp on the benchmark scenes. Installs those tools from Debian when they are missing.
# Usage: bench/compare_encoders.sh [BUILD_DIR] [RUNS] [SCENES] [FORMATS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-5}"

missing=()
for p in imagemagick ffmpeg gifsicle python3-pil apngasm webp; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
exec /usr/bin/python3 "$root/bench/compare_encoders.py" "$build" "$runs" "${@:3}"
