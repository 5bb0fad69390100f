#!/bin/sh
# Builds the expression fuzzer with clang and libFuzzer, AddressSanitizer and UBSan:
#   fuzz/build.sh [output-dir]      (default: build/fuzz)
# The sources are compiled directly, so no CMake configuration is needed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
mkdir -p "$out"
cxx=${CXX:-clang++}
flags="-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
qt=$(pkg-config --cflags --libs Qt6Core Qt6Gui)
# The platform and expression layers whole: they need only Qt Core/Gui and libjpeg, and listing
# files one by one broke the build each time a class was split.
cd "$root"
src="$(ls src/platform/*.cpp src/report/expr/*.cpp)"
# shellcheck disable=SC2086
$cxx $flags -DVASKEL_VERSION=\"fuzz\" -DVASKEL_SOURCE_DATA_DIR=\"$root/data\" -I src fuzz/fuzz_expr.cpp $src $qt -ljpeg -o "$out/fuzz_expr"
echo "$out/fuzz_expr"
