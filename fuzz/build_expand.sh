#!/bin/sh
# Builds the bracket-expansion fuzzer with clang and libFuzzer, AddressSanitizer and UBSan:
#   fuzz/build_expand.sh [output-dir]      (default: build/fuzz)
# The sources are compiled directly, so no CMake configuration is needed. Run it with a corpus
# folder, for example:
#   build/fuzz/fuzz_expand -max_total_time=600 -timeout=10 build/fuzz/expand-corpus
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
mkdir -p "$out"
cxx=${CXX:-clang++}
flags="-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
qt=$(pkg-config --cflags --libs Qt6Core Qt6Gui)
cd "$root"
# The platform, expression and model layers whole: they need only Qt Core/Gui and libjpeg.
src="$(ls src/platform/*.cpp src/report/expr/*.cpp src/report/model/*.cpp)"
# shellcheck disable=SC2086
$cxx $flags -DVASKEL_VERSION=\"fuzz\" -DVASKEL_SOURCE_DATA_DIR=\"$root/data\" -I src fuzz/fuzz_expand.cpp $src $qt -ljpeg -o "$out/fuzz_expand"
echo "$out/fuzz_expand"
