#!/usr/bin/env bash
# Configure and build one build type into build/<type> (Release-like by default, "asan" for the
# AddressSanitizer + UndefinedBehaviorSanitizer build).
#   scripts/build.sh [default|asan] [--run | TARGET…]
#   scripts/build.sh --print-run-targets
# Without targets everything is built (program, tests, benchmarks); --run builds only what
# `./vaskel.sh run` needs: the program and look.frf. The build's progress and every compiler error
# go to the terminal, and the script ends with the build's status.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# The targets `./vaskel.sh run` and `./vaskel.sh install` need: never a test or a benchmark.
run_targets=(vaskel look_frf)
if [ "${1:-}" = "--print-run-targets" ]; then
  echo "${run_targets[*]}"
  exit 0
fi
kind=${1:-default}
shift || true
case "$kind" in
  default) dir="$here/build/default"; type=RelWithDebInfo ;;
  asan)    dir="$here/build/asan";    type=Asan ;;
  *) echo "build.sh: unknown build '$kind' (default|asan)" >&2; exit 2 ;;
esac
targets=()
if [ "${1:-}" = "--run" ]; then
  targets=("${run_targets[@]}")
else
  targets=("$@")
fi
# ccache, where installed, lets several checkouts of the tree share their compiled objects. Each
# target compiles with a precompiled header (cmake/BuildSpeed.cmake), which ccache caches only
# with this sloppiness: it cannot see the macros and times inside a precompiled header.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:+$CCACHE_SLOPPINESS,}pch_defines,time_macros,include_file_mtime,include_file_ctime"
fi
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" >/dev/null
target_args=()
[ ${#targets[@]} -gt 0 ] && target_args=(--target "${targets[@]}")
cmake --build "$dir" -j "$(nproc)" "${target_args[@]}"
