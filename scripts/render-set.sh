#!/usr/bin/env bash
# Renders a fixed set of small images that between them take every lens, rig, merge and overlay
# path, so that two builds can be compared byte for byte:
#
#   scripts/render-set.sh BUILD_DIR OUT_DIR             render the set with BUILD_DIR/orvex360
#   scripts/render-set.sh --compare DIR_A DIR_B         list the images that differ (exit 1 if any)
#
# The date in the overlays is fixed through SOURCE_DATE_EPOCH, so equal builds give equal files.
set -euo pipefail

if [ "${1:-}" = "--compare" ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --compare DIR_A DIR_B" >&2; exit 2; }
  differ=0
  for image in "$2"/*; do
    name=$(basename "$image")
    if ! cmp -s "$image" "$3/$name"; then
      echo "differs: $name"
      differ=1
    fi
  done
  [ "$differ" -eq 0 ] && echo "all $(ls "$2" | wc -l) images identical"
  exit "$differ"
fi

[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR OUT_DIR" >&2; exit 2; }
tool=$(realpath "$1")/orvex360
out=$2
logs=$out.logs
mkdir -p "$out" "$logs"
export SOURCE_DATE_EPOCH=1700000000

# Every overlay element, with --set so that builds from before --overlays take it too.
every_overlay="--set ORVEXVP_SHOW_INFO=1 --set ORVEXVP_SHOW_TIME=1 --set ORVEXVP_SHOW_FRAME=1 --set ORVEXVP_SHOW_TEXT=1"
# name|arguments (split as the shell splits words)
renders=(
  "fulldome|-c fulldome -s 512x512 $every_overlay"
  "fulldome-3spp|-c fulldome -s 256x256 --samples 3"
  "fisheye|-c fisheye -s 384x384"
  "fisheye-4spp|-c fisheye -s 256x256 --samples 4"
  "little-planet|-c little-planet -s 384x384"
  "panorama|-c panorama -s 512x256"
  "panorama-3spp|-c panorama -s 256x128 --samples 3"
  "panorama-turned|-c panorama -s 512x256 --rotate 30,15,5"
  "panorama-cropped|-c panorama -s 512x256 --set ORVEXTAG_EQUIRECT_CUSTOM=1 --set ORVEXTAG_EQUIRECT_HSPAN=180deg --set ORVEXTAG_EQUIRECT_LAT_MAX=45deg"
  "cylindrical|-c cylindrical -s 512x256"
  "cubemap-3x2|-c cubemap --cube-layout grid-3x2 -s 384x256"
  "cubemap-cross|-c cubemap --cube-layout vertical-cross -s 192x256"
  "cube-face|-c cube-face -s 256x256"
  "plain|-c plain -s 320x240"
  "editor|--editor -s 320x240"
  "pano-side-by-side|-c panorama --stereo on --stereo-output side-by-side -s 512x256"
  "pano-top-bottom|-c panorama --stereo on --stereo-output side-by-side --side-layout top-bottom -s 256x256"
  "pano-anaglyph|-c panorama --stereo on --stereo-output anaglyph --eye-shift 40 -s 512x256"
  "pano-flipped-swapped|-c panorama --stereo on --stereo-output side-by-side --flip left-horizontal --swap-eyes -s 512x256"
  "pano-interlaced|-c panorama --stereo on --stereo-output interlaced --interlace checkerboard -s 256x128"
  "pano-gradient|-c panorama --stereo on --separation-gradient -s 512x256"
  "dome-stereo|-c fulldome --stereo on --stereo-output side-by-side -s 512x256 $every_overlay"
  "dome-anaglyph|-c fulldome --stereo on --stereo-output anaglyph -s 256x256"
  "cubemap-stereo|-c cubemap --stereo on --stereo-output side-by-side -s 512x256 --cube-layout grid-3x2"
  "env-only|empty -c panorama -s 256x128"
)
# Sequences of the walking, turning camera: frames after the first ask each camera's lens only
# where it answered in the first.
plaza=$(cd "$(dirname "$0")/.." && pwd)/scenes/plaza.gltf
renders+=(
  "seq-cubemap-3x2|$plaza -c cubemap --cube-layout grid-3x2 -s 384x256 --frames 0-3"
  "seq-cubemap-stereo|$plaza -c cubemap --stereo on --stereo-output side-by-side -s 512x256 --frames 0-2"
  "seq-dome-stereo|$plaza -c fulldome --stereo on --stereo-output side-by-side -s 512x256 --frames 0-2"
  "seq-fisheye-4spp|$plaza -c fisheye -s 256x256 --samples 4 --frames 0-2"
  "seq-pano-top-bottom|$plaza -c panorama --stereo on --stereo-output side-by-side --side-layout top-bottom -s 256x256 --frames 0-2"
)
for rig in 0 1 2 3; do
  renders+=("pano-rig$rig|-c panorama --stereo on --stereo-output side-by-side -s 256x128 --set ORVEXTAG_STEREO_RIG=$rig")
done

for entry in "${renders[@]}"; do
  name=${entry%%|*}
  # shellcheck disable=SC2086
  "$tool" render ${entry#*|} --threads 2 -o "$out/$name.png" >"$logs/$name.log" 2>&1 ||
    { echo "failed: $name (see $logs/$name.log)" >&2; exit 1; }
done
echo "rendered ${#renders[@]} renders ($(ls "$out" | wc -l) images) into $out"
