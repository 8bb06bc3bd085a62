#!/usr/bin/env bash
# Builds the libFuzzer targets of the readers of files from anywhere (fuzz/) with clang and runs each
# in turn: the glTF importer for GLTF_SECONDS (default 40), the project file, PNG, TIFF, XMP,
# description file and video readers and the command line's option values for OTHER_SECONDS each
# (default 15). Each starts from the repository's own
# files of its kind and those in fuzz/corpus/<target>. A crash leaves its input in build/fuzz/ and
# fails the script. The seed is fixed, so CI runs follow the same path.
set -euo pipefail
cd "$(dirname "$0")/.."
gltf_seconds="${1:-40}"
other_seconds="${2:-15}"
CXX=clang++ cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz
# Leaks inside libraries that are proven and explained in .ci/lsan.supp, and for the readers alone in
# fuzz/lsan.supp, are not findings.
cat .ci/lsan.supp fuzz/lsan.supp >build/fuzz/lsan.supp
export LSAN_OPTIONS="suppressions=$PWD/build/fuzz/lsan.supp"
# The sanitizer's tracking of dlopen'd libraries' thread-local blocks (the image library is loaded
# that way) records bogus ranges on Debian 12's glibc and crashes the leak checker; see .ci/run.
# fast_unwind_on_malloc=0: FFmpeg's libraries have no frame pointers, so the fast unwinder stops at
# av_malloc and a suppression could not tell which library function allocated.
export ASAN_OPTIONS="intercept_tls_get_addr=0:fast_unwind_on_malloc=0"

# fuzz TARGET SECONDS SEED_FILE...
fuzz() {
  local target="$1" seconds="$2"
  shift 2
  local corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  cp "$@" "$corpus/"
  if [ -d "fuzz/corpus/$target" ]; then cp fuzz/corpus/"$target"/* "$corpus/"; fi
  echo "=== $target: $seconds seconds ==="
  (cd build/fuzz && "./$target" -seed=1 -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 "corpus/$target")
}

fuzz gltf_fuzz "$gltf_seconds" scenes/*.gltf
fuzz project_fuzz "$other_seconds" res/description/*.json
fuzz png_fuzz "$other_seconds" res/*.png tests/*/data/*.png
fuzz tiff_fuzz "$other_seconds" res/*.tif
fuzz xmp_fuzz "$other_seconds" res/*.png res/*.tif
fuzz description_fuzz "$other_seconds" res/description/*.json
fuzz video_fuzz "$other_seconds" fuzz/corpus/video_fuzz/*
fuzz options_fuzz "$other_seconds" fuzz/corpus/options_fuzz/*
