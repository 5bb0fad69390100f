#!/usr/bin/env bash
# Configure and build one build type into build/<type> (Release-like by default, "asan" for the
# AddressSanitizer + UndefinedBehaviorSanitizer build).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-default}
case "$kind" in
  default) dir="$here/build/default"; type=RelWithDebInfo ;;
  asan)    dir="$here/build/asan";    type=Asan ;;
  *) echo "build.sh: unknown build '$kind' (default|asan)" >&2; exit 2 ;;
esac
# ccache, where installed, lets several checkouts of the tree share their compiled objects.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
