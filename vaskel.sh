#!/usr/bin/env bash
# Developer entry point.
#   ./vaskel.sh run [args]        install what is missing, build the program and look.frf (no tests, no
#                                 benchmarks), start the program on the demo data; a failed build
#                                 shows its errors and ends with its status
#   ./vaskel.sh test [asan]       install what is missing, build everything, run the whole test suite
#   ./vaskel.sh bench             build and run the benchmarks
#   ./vaskel.sh install [PREFIX]  build and install the program, its data, the desktop entry, the icon
#                                 and the file types into PREFIX (default ~/.local)
# The demo database is the program's own (`vaskel --demo` and `vaskel render --demo` use the same
# folder); VASKEL_DEMO_DIR chooses another one for all of them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-run}
shift || true

bash "$here/.ci/run" --deps

case "$cmd" in
  run)
    bash "$here/scripts/build.sh" default --run
    dir="$here/build/default"
    # The query window loads look.frf from its working directory: the build folder holds the
    # template built from data/look.json.
    cd "$dir"
    exec "$dir/src/main/vaskel" --demo "$@"
    ;;
  test)
    kind=${1:-default}
    bash "$here/scripts/build.sh" "$kind"
    dir="$here/build/$kind"
    export QT_QPA_PLATFORM=offscreen
    if [ "$kind" = asan ]; then
      export ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_leaks=1
      export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp
      export UBSAN_OPTIONS=print_stacktrace=1
    fi
    cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  bench)
    bash "$here/scripts/build.sh" default
    for b in "$here"/build/default/bench/bench_*; do
      [ -x "$b" ] && "$b" "$@"
    done
    ;;
  install)
    prefix=$(realpath -m "${1:-$HOME/.local}")
    bash "$here/scripts/build.sh" default --run
    cmake --install "$here/build/default" --prefix "$prefix"
    # Let the desktop pick up the new entry and file types (harmless where the tools are missing).
    if command -v update-mime-database >/dev/null && [ -d "$prefix/share/mime/packages" ]; then
      update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || true
    fi
    if command -v update-desktop-database >/dev/null && [ -d "$prefix/share/applications" ]; then
      update-desktop-database "$prefix/share/applications" >/dev/null 2>&1 || true
    fi
    case ":$PATH:" in
      *":$prefix/bin:"*) ;;
      *) echo "Installed into $prefix; add $prefix/bin to PATH to run vaskel by name." ;;
    esac
    ;;
  *)
    echo "usage: ./vaskel.sh run [args]|test [asan]|bench|install [PREFIX]" >&2
    exit 2
    ;;
esac
