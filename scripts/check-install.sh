#!/usr/bin/env bash
# CI check of `./vaskel.sh install`: install into a temporary prefix, then render the README's bill
# from another folder with the installed program alone (its look.frf, data and demo database).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d /tmp/vaskel-install-check.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"

"$here/vaskel.sh" install "$prefix"
for f in bin/vaskel share/vaskel/look.frf share/applications/vaskel.desktop \
         share/icons/hicolor/scalable/apps/vaskel.svg share/mime/packages/vaskel.xml; do
  [ -e "$prefix/$f" ] || { echo "check-install: $f was not installed" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/vaskel.desktop"
fi

mkdir -p "$scratch/elsewhere"
cd "$scratch/elsewhere"
export PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen VASKEL_DEMO_DIR="$scratch/demo"
unset VASKEL_DATA_DIR
vaskel render look.frf --demo --bill HT23002 --pdf x.pdf
[ -s x.pdf ] || { echo "check-install: no x.pdf" >&2; exit 1; }
if command -v pdftotext >/dev/null; then
  pdftotext x.pdf - | grep -q "HT23002" || { echo "check-install: the bill is not in x.pdf" >&2; exit 1; }
fi
[ -f "$scratch/demo/vaskel-demo.sqlite" ] || { echo "check-install: --demo did not use VASKEL_DEMO_DIR" >&2; exit 1; }
echo "check-install: installed into a temporary prefix; vaskel render wrote x.pdf from another folder"
