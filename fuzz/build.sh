#!/bin/sh
# Builds one fuzz target with clang and libFuzzer, AddressSanitizer and UBSan:
#   fuzz/build.sh TARGET [output-dir]      (TARGET: expr, expand, template, script, props, frp, prepare or metafile;
#                                           default output: build/fuzz)
# It compiles fuzz/fuzz_TARGET.cpp into output-dir/fuzz_TARGET. The sources are compiled
# directly, so no CMake configuration is needed.
set -eu
usage="usage: fuzz/build.sh expr|expand|template|script|props|frp|prepare|metafile [output-dir]"
[ $# -ge 1 ] || { echo "$usage" >&2; exit 2; }
target=$1
root=$(cd "$(dirname "$0")/.." && pwd)
# Whole layers: they need only Qt Core/Gui and libjpeg, and listing files one by one broke the
# build each time a class was split.
case $target in
expr) layers="src/platform src/report/expr" ;;
# The metafile player and the fixture writer of its tests, which makes the seeds.
metafile) layers="src/platform tests/support/MetafileWriter.cpp" ;;
expand | template | script | props) layers="src/platform src/report/expr src/report/model" ;;
frp | prepare)
    layers="src/platform src/report/expr src/report/model src/report/engine"
    libs="-lzstd"
    ;;
*) echo "$usage" >&2; exit 2 ;;
esac
out=${2:-$root/build/fuzz}
mkdir -p "$out"
cxx=${CXX:-clang++}
flags="-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
qt=$(pkg-config --libs Qt6Core Qt6Gui)
cd "$root"
# Each source is compiled to its own object (through ccache when it is installed), so the targets
# share the compiled layers and a rebuild after a small edit recompiles only what changed.
launcher=""
command -v ccache >/dev/null 2>&1 && launcher=ccache
objdir="$out/obj"
objs=""
for layer in $layers; do
    case $layer in
    *.cpp) files=$layer ;;
    *) files=$(ls "$layer"/*.cpp) ;;
    esac
    for file in $files; do
        obj="$objdir/$(echo "$file" | tr / _).o"
        mkdir -p "$objdir"
        # shellcheck disable=SC2086
        $launcher $cxx $flags -DVASKEL_VERSION=\"fuzz\" -DVASKEL_SOURCE_DATA_DIR=\"$root/data\" -I src -I tests $(pkg-config --cflags Qt6Core Qt6Gui) -c "$file" -o "$obj"
        objs="$objs $obj"
    done
done
# shellcheck disable=SC2086
$launcher $cxx $flags -DVASKEL_VERSION=\"fuzz\" -DVASKEL_SOURCE_DATA_DIR=\"$root/data\" -I src -I tests $(pkg-config --cflags Qt6Core Qt6Gui) -c "fuzz/fuzz_$target.cpp" -o "$objdir/fuzz_$target.o"
# shellcheck disable=SC2086
$cxx $flags "$objdir/fuzz_$target.o" $objs $qt -ljpeg -luemf -lfontconfig ${libs:-} -o "$out/fuzz_$target"
echo "$out/fuzz_$target"
