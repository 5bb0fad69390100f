#!/usr/bin/env bash
# Developer entry point.
#   ./vaskel.sh run [args]   install what is missing, build, start the program on the demo data
#                            (built once into build/default/demo, which is also the working directory with
#                            look.frf; VASKEL_DEMO_DIR chooses another folder)
#   ./vaskel.sh test [asan]  install what is missing, build, run the whole test suite
#   ./vaskel.sh bench        build and run the benchmarks
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-run}
shift || true

bash "$here/.ci/run" --deps

case "$cmd" in
  run)
    dir=$(bash "$here/scripts/build.sh" default | tail -n 1)
    VASKEL_DEMO_DIR=$(realpath -m "${VASKEL_DEMO_DIR:-$dir/demo}")
    export VASKEL_DEMO_DIR
    # The query window loads look.frf from its working directory: run in the demo folder with the
    # freshly built template (a newer copy there is left alone).
    mkdir -p "$VASKEL_DEMO_DIR"
    cp -u "$dir/look.frf" "$VASKEL_DEMO_DIR/"
    cd "$VASKEL_DEMO_DIR"
    exec "$dir/src/main/vaskel" --demo "$@"
    ;;
  test)
    kind=${1:-default}
    dir=$(bash "$here/scripts/build.sh" "$kind" | tail -n 1)
    export QT_QPA_PLATFORM=offscreen
    if [ "$kind" = asan ]; then
      export ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_leaks=1
      export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp
      export UBSAN_OPTIONS=print_stacktrace=1
    fi
    cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  bench)
    dir=$(bash "$here/scripts/build.sh" default | tail -n 1)
    for b in "$dir"/bench/bench_*; do
      [ -x "$b" ] && "$b" "$@"
    done
    ;;
  *)
    echo "usage: ./vaskel.sh run|test [asan]|bench" >&2
    exit 2
    ;;
esac
