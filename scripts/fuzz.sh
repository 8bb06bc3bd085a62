#!/usr/bin/env bash
# Builds the glTF importer's libFuzzer target with clang and runs it for SECONDS (default 90),
# starting from the shipped scene and the files in fuzz/corpus. A crash leaves its input in
# build/fuzz/ and fails the script. The seed is fixed, so CI runs follow the same path.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-90}"
CXX=clang++ cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz
mkdir -p build/fuzz/corpus
cp scenes/*.gltf build/fuzz/corpus/
# Leaks inside libraries that are proven and explained in .ci/lsan.supp are not findings.
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp"
# The sanitizer's tracking of dlopen'd libraries' thread-local blocks (the image library is loaded
# that way) records bogus ranges on Debian 12's glibc and crashes the leak checker; see .ci/run.
export ASAN_OPTIONS="intercept_tls_get_addr=0"
cd build/fuzz
./gltf_fuzz -seed=1 -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 corpus
