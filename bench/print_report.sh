#!/usr/bin/env bash
# Times printing the vehicle report to a PDF file as a whole process (application start, fonts, layout,
# the PDF written): a one-page report (a short record at 10 points) and a three-page one (every line of a
# record at 14 points). Reports wall time (hyperfine) and peak memory; the goal is a median wall time under
# 100 ms for each, with a verdict line for each.
#
#   cmake --preset bench && cmake --build --preset bench && bench/print_report.sh [build/bench] [runs]
set -euo pipefail
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
runs="${2:-50}"
bin="$build/bin"
for file in print_report libcarlume_core.so peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

one=("$bin/print_report" "$work/one.pdf" short 10)
three=("$bin/print_report" "$work/three.pdf" long 14)
"${one[@]}"
"${three[@]}"
pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
[ "$(pages "$work/one.pdf")" = 1 ] || { echo "the short report is not one page" >&2; exit 1; }
[ "$(pages "$work/three.pdf")" = 3 ] || { echo "the long report is not three pages" >&2; exit 1; }

hyperfine --shell=none --warmup 5 --runs "$runs" --export-csv "$work/times.csv" \
    --command-name one-page "${one[*]}" \
    --command-name three-pages "${three[*]}"

peak() {
    local best=0 kb
    for _ in 1 2 3 4 5; do
        kb="$("$bin/peak_rss" "$@")"
        [ "$kb" -gt "$best" ] && best="$kb"
    done
    echo "$best"
}
rss_one="$(peak "${one[@]}")"
rss_three="$(peak "${three[@]}")"

# CSV columns: command, mean (s), stddev (s), median (s), user (s), system (s), min (s), max (s)
field() { awk -F, -v name="$1" -v col="$2" '$1 == name { print $col * 1000 }' "$work/times.csv"; }
printf "\n%-12s %12s %10s %10s %10s %14s %12s\n" "" "median (ms)" "mean (ms)" "sd (ms)" "min (ms)" \
    "peak RSS (kB)" "PDF (bytes)"
for name in one-page three-pages; do
    case "$name" in
    one-page) rss="$rss_one" pdf="$work/one.pdf" ;;
    three-pages) rss="$rss_three" pdf="$work/three.pdf" ;;
    esac
    printf "%-12s %12.2f %10.2f %10.2f %10.2f %14d %12d\n" "$name" "$(field "$name" 4)" "$(field "$name" 2)" \
        "$(field "$name" 3)" "$(field "$name" 7)" "$rss" "$(stat -c %s "$pdf")"
done
echo
verdict "one-page report printed to PDF as a whole process, median wall time" "$(field one-page 4)" under 100 ms
verdict "three-page report printed to PDF as a whole process, median wall time" "$(field three-pages 4)" \
    under 100 ms
end_verdicts
