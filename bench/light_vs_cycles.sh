#!/usr/bin/env bash
# Light and materials cross-checked with Blender's Cycles on one scene: a courtyard built in Blender (a sun of 3 W/m2,
# a 300 W point light, a uniform world; four matte objects, a metal ball, a glossy box, an emissive panel and a
# textured box), exported to glTF by Blender's exporter with
# its defaults (lights and cameras switched on), rendered by Cycles (Standard view, exposure 0) and by
# orvex360 as the same 512 x 256 panorama at each bounce count given, then compared per object: mean
# linear colour, the ratio of their luminances, and the share of clipped pixels in the PNGs.
#
#   bench/light_vs_cycles.sh [BUILD_DIR [OUT_DIR [BOUNCES...]]]     (default: build/release, a temporary
#                                                                    folder, bounces 0 and 2)
# Blender and the NumPy its glTF exporter needs (Debian packages) are not installed by
# scripts/install-deps.sh: apt-get install blender python3-numpy.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
out=${2:-$(mktemp -d)}
shift $(( $# < 2 ? $# : 2 ))
bounces=("${@:-0}")
[[ $# -eq 0 ]] && bounces=(0 2)
mkdir -p "$out"
command -v blender >/dev/null || { echo "needs Blender: apt-get install blender python3-numpy" >&2; exit 1; }
blender -b --python bench/cycles_scene.py -- build "$out" "${bounces[@]}" >"$out/blender.log" 2>&1 ||
  { tail -20 "$out/blender.log" >&2; exit 1; }
# The world as an environment image of the same radiance, written as a float map by hand (Blender's
# image writer would encode it for display).
python3 -c "
import struct, sys
width, height, radiance = 64, 32, float(sys.argv[2])
header = b'PF\\n%d %d\\n-1.0\\n' % (width, height)
open(sys.argv[1], 'wb').write(header + struct.pack('<%df' % (width * height * 3), *[radiance] * (width * height * 3)))
" "$out/world.pfm" 0.05
for b in "${bounces[@]}"; do
  for suffix in exr png; do
    "$build/orvex360" --quiet render "$out/courtyard.glb" -c panorama -s 512x256 --samples 64 --bounces "$b" \
      --env "$out/world.pfm" -o "$out/orvex_b$b.$suffix" >/dev/null
  done
done
blender -b --python bench/cycles_scene.py -- compare "$out" "${bounces[@]}" 2>/dev/null |
  sed -n '/^bounces/,$p' | grep -v '^Blender quit'
echo "renders in $out"
