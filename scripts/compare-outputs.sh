#!/usr/bin/env bash
# Compares what two builds prepare, byte for byte: the example templates of data/examples rendered
# over the demo database and saved as .frp files, and the prepared pages of the layout benchmark.
# A change to the engine that should not change behaviour must leave every file equal.
#
#   scripts/compare-outputs.sh BEFORE_BUILD_DIR AFTER_BUILD_DIR
#
# Each build directory is a configured and built tree (build/default of a checkout); the data of
# this checkout is used for both. Exit status 0 when all outputs are equal, 1 otherwise.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 BEFORE_BUILD_DIR AFTER_BUILD_DIR" >&2; exit 2; }
before=$(cd "$1" && pwd)
after=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen VASKEL_DATA_DIR="$here/data" VASKEL_DEMO_DIR="$work/demo"

# The --query bindings an example names in its info comment: "... Queries: NAME = SQL; NAME = SQL".
queries() {
  python3 - "$1" <<'EOF'
import json, sys
comment = json.load(open(sys.argv[1], encoding="utf-8"))["info"]["comment"]
if "Queries: " in comment:
    for binding in comment.split("Queries: ", 1)[1].split("; "):
        name, _, statement = binding.partition(" = ")
        print(f"{name}={statement}")
EOF
}

# The program's place moved from src/app to src/main; either build is found.
program() {
  if [ -x "$1/src/main/vaskel" ]; then echo "$1/src/main/vaskel"; else echo "$1/src/app/vaskel"; fi
}

status=0
compare() {
  if cmp -s "$1" "$2"; then
    echo "same:    $3"
  else
    echo "DIFFERS: $3"
    status=1
  fi
}

for json in "$here"/data/examples/*.json; do
  name=$(basename "$json" .json)
  args=()
  while IFS= read -r q; do args+=(--query "$q"); done < <(queries "$json")
  for side in before after; do
    vaskel=$(program "${!side}")
    "$vaskel" template build "$json" -o "$work/$name.$side.frf" >/dev/null
    "$vaskel" render "$work/$name.$side.frf" --demo "${args[@]}" \
      --save "$work/$name.$side.frp" >/dev/null
  done
  compare "$work/$name.before.frp" "$work/$name.after.frp" "$name.frp"
done

for side in before after; do
  build=${!side}
  VASKEL_BENCH_SAVE="$work/layout.$side.frp" "$build/bench/bench_layout" \
    --benchmark_filter='Prepare/10000/' >/dev/null 2>&1
done
compare "$work/layout.before.frp" "$work/layout.after.frp" "bench_layout Prepare/10000 pages"
exit $status
