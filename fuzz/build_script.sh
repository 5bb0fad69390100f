#!/bin/sh
# Builds the script-compiler fuzzer with clang and libFuzzer, AddressSanitizer and UBSan:
#   fuzz/build_script.sh [output-dir]      (default: build/fuzz)
# The sources are compiled directly, so no CMake configuration is needed.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
mkdir -p "$out"
cxx=${CXX:-clang++}
flags="-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
qt=$(pkg-config --cflags --libs Qt6Core Qt6Gui)
# The platform layer and the expression layer whole: the interpreter stands on the parser, the
# function splitter and the engine globals of the expression layer, which grow with it. Both
# layers need only Qt Core/Gui and libjpeg.
cd "$root"
src="$(ls src/platform/*.cpp src/report/expr/*.cpp)"
# shellcheck disable=SC2086
$cxx $flags -DVASKEL_VERSION=\"fuzz\" -DVASKEL_SOURCE_DATA_DIR=\"$root/data\" -I src fuzz/fuzz_script.cpp $src $qt -ljpeg -o "$out/fuzz_script"
echo "$out/fuzz_script"
