#!/usr/bin/env bash
# Throughput and peak memory of the list report (id, a Chinese and ASCII name, a quantity with two
# decimals, a date; page header, "Page N of M" footer over two passes, SUM summary, A4, 60 rows a
# page) read through the SQLite ODBC driver by `vaskel render`.
#
#   bench/list_report/run.sh VASKEL ROWS MODE [REPEATS]
#
# VASKEL is the program of the build to measure; MODE is pdf (--pdf), save (--save: preparing
# alone), frp (a saved .frp rendered with --frp FILE --pdf). Each repeat prints one line:
#   MODE ROWS cpu_seconds rows_per_cpu_second peak_MiB
# The database and template are made once per size under ${BENCH_WORK:-/tmp/vaskel-list-bench}.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vaskel=$1 rows=$2 mode=$3 repeats=${4:-1}
work=${BENCH_WORK:-/tmp/vaskel-list-bench}
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen VASKEL_DATA_DIR="$here/../../data"
db="$work/list_$rows.db"
[ -f "$db" ] || python3 "$here/make_db.py" "$db" "$rows"
driver=""
for d in /usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so /usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so; do
  [ -f "$d" ] && driver=$d
done
[ -n "$driver" ] || { echo "the SQLite ODBC driver is not installed" >&2; exit 2; }
tag=$(echo "$vaskel" | md5sum | cut -c1-8)
frf="$work/list_$tag.frf"
"$vaskel" template build "$here/list_report.json" -o "$frf" >/dev/null
# Both datasets of the query window are given, so no run opens a statement over tables this
# database lacks.
source=(--two-pass --connection "Driver=$driver;Database=$db"
  --query 'frDBDataSet1=SELECT id AS ID, name AS NAME, qnt AS QNT, day AS DAY FROM items ORDER BY id'
  --query 'frDBDataSet2=SELECT 1 AS X')
out="$work/out_${tag}_$rows"
case "$mode" in
  pdf) args=("$frf" "${source[@]}" --pdf "$out.pdf") ;;
  save) args=("$frf" "${source[@]}" --save "$out.frp") ;;
  frp)
    [ -f "$out.frp" ] || "$vaskel" render "$frf" "${source[@]}" --save "$out.frp" >/dev/null 2>&1
    args=(--frp "$out.frp" --pdf "$out.frp.pdf") ;;
  *) echo "unknown mode $mode (pdf|save|frp)" >&2; exit 2 ;;
esac
for ((i = 0; i < repeats; i++)); do
  /usr/bin/time -f "%U %S %M" -o "$work/time" "$vaskel" render "${args[@]}" >/dev/null 2>"$work/stderr" \
    || { cat "$work/stderr" >&2; exit 1; }
  read -r user sys kb < "$work/time"
  awk -v m="$mode" -v r="$rows" -v u="$user" -v s="$sys" -v k="$kb" \
    'BEGIN { c = u + s; printf "%s %d %.2f %.0f %.1f\n", m, r, c, r / c, k / 1024 }'
done
