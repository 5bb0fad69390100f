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
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
