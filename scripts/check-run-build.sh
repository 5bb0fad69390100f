#!/usr/bin/env bash
# CI checks of the developer commands, on a scratch copy of the tree so the checkout stays clean:
#   1. the build step of `./vaskel.sh run` shows a compiler error on the terminal and fails with it
#      (one broken source in the lowest library, built alone: no second full build);
#   2. the target list of `./vaskel.sh run` pulls in no test and no benchmark (a dry run).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d /tmp/vaskel-run-check.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# The tree as checked out (tracked and new files), without build folders.
(cd "$here" && git ls-files -co --exclude-standard -z | xargs -0 tar -cf - 2>/dev/null) | tar -xf - -C "$scratch"
cd "$scratch"

# 1. A deliberately broken source, built through the run build's own step.
broken=src/platform/DataPaths.cpp
echo 'int vaskelBrokenOnPurpose() { return undeclared_name_for_the_check; }' >>"$broken"
# The library, not the source's object: with unity builds a source has no object of its own, and the
# compiler still names the source in its error.
set +e
bash scripts/build.sh default vaskel_platform >"$scratch/out.txt" 2>&1
status=$?
set -e
if [ "$status" -eq 0 ]; then
  echo "check-run-build: the build of a broken source succeeded" >&2
  exit 1
fi
if ! grep -q "DataPaths.cpp.*error: .*undeclared_name_for_the_check" "$scratch/out.txt"; then
  echo "check-run-build: the compiler's error did not reach the terminal; it showed:" >&2
  cat "$scratch/out.txt" >&2
  exit 1
fi
echo "check-run-build: a broken source fails the build with status $status and shows:"
grep -m 1 "error:" "$scratch/out.txt"

# 2. What `./vaskel.sh run` builds: the program and look.frf, nothing under tests/ or bench/
#    (every command the run targets need, whether or not it is up to date).
read -r -a targets <<<"$(bash scripts/build.sh --print-run-targets)"
plan=$(ninja -C build/default -t commands "${targets[@]}")
if grep -E "(^|[ /])(tests|bench)/" <<<"$plan" | grep -q .; then
  echo "check-run-build: './vaskel.sh run' would build tests or benchmarks:" >&2
  grep -E "(^|[ /])(tests|bench)/" <<<"$plan" | head >&2
  exit 1
fi
grep -q "look.frf" <<<"$plan" || { echo "check-run-build: look.frf is not in the run build" >&2; exit 1; }
echo "check-run-build: the run build has $(wc -l <<<"$plan") commands, none of them for a test or benchmark"
