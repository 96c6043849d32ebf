#!/usr/bin/env bash
# Times a silent found-VIN run of cquery as a whole process against bench/reference_lookup.c, which makes
# only the same engine calls and writes the same hand-back file. Reports wall time (hyperfine) and peak
# memory, and the ratio of each to the reference (target: within 2x). Then the peak memory of the same run
# over a 10 MB cquery.ini, of blank lines and of lines as the program writes them (goal: below 100 MB).
#
#   cmake --preset bench && cmake --build --preset bench && bench/silent_lookup.sh [build/bench] [runs]
set -euo pipefail
source "$(dirname "$0")/peak_memory.sh"

build="${1:-build/bench}"
runs="${2:-300}"
bin="$build/bin"
vin="1AVQL14S1A"
for file in cquery libcarlume_core.so libchassix.so reference_lookup peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Two program folders with copies of the files, as installed; no display, no UI module.
mkdir -p "$work/cquery/Data" "$work/reference/Data" "$work/windows"
cp "$bin/cquery" "$bin/libcarlume_core.so" "$bin/libchassix.so" "$work/cquery/"
cp "$bin/reference_lookup" "$bin/libchassix.so" "$work/reference/"
export WINDIR="$work/windows"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM CHASSIX_FAKE_JOURNAL

"$work/cquery/cquery" "/VIN=$vin"
"$work/reference/reference_lookup" "$vin"
if ! cmp -s "$work/cquery/Data/cquery.dat" "$work/reference/Data/cquery.dat"; then
    echo "the two programs hand back different files:" >&2
    diff "$work/cquery/Data/cquery.dat" "$work/reference/Data/cquery.dat" >&2 || true
    exit 1
fi

hyperfine --shell=none --warmup 20 --runs "$runs" --export-csv "$work/times.csv" \
    --command-name cquery "$work/cquery/cquery /VIN=$vin" \
    --command-name reference "$work/reference/reference_lookup $vin"

rss_cquery="$(peak 5 "$work/cquery/cquery" "/VIN=$vin")"
rss_reference="$(peak 5 "$work/reference/reference_lookup" "$vin")"

# CSV columns: command, mean (s), ...
mean() { awk -F, -v name="$1" '$1 == name { print $2 * 1000 }' "$work/times.csv"; }
t_cquery="$(mean cquery)"
t_reference="$(mean reference)"
awk -v tc="$t_cquery" -v tr="$t_reference" -v mc="$rss_cquery" -v mr="$rss_reference" 'BEGIN {
    printf "\n%-10s %12s %14s\n", "", "wall (ms)", "peak RSS (kB)"
    printf "%-10s %12.2f %14d\n", "cquery", tc, mc
    printf "%-10s %12.2f %14d\n", "reference", tr, mr
    printf "%-10s %11.2fx %13.2fx   (target: within 2x)\n", "ratio", tc / tr, mc / mr
}'

# cquery.ini of 10 MB: the run rewrites it, so each measurement starts from a fresh one.
ini="$WINDIR/cquery.ini"
blank_lines() { yes '' | head -c 10485760 > "$ini" || true; }
written_lines() {
    awk 'BEGIN { ORS = "\r\n"; while (size < 10485760) {
        line = sprintf("[Run %d]", ++n); print line; size += length(line) + 2
        line = "Location=/opt/Qelvo/"; print line; size += length(line) + 2
        line = "Number=1.4.2"; print line; size += length(line) + 2
        line = "CommandLine=/opt/Qelvo/cquery /VIN=1AVQL14S1A /YEAR=2010"; print line; size += length(line) + 2 } }' > "$ini"
}
rss_blank="$(PREPARE=blank_lines peak 3 "$work/cquery/cquery" "/VIN=$vin")"
rss_written="$(PREPARE=written_lines peak 3 "$work/cquery/cquery" "/VIN=$vin")"
cmp -s "$work/cquery/Data/cquery.dat" "$work/reference/Data/cquery.dat" || { echo "no hand-back" >&2; exit 1; }
rm -f "$ini"
awk -v b="$rss_blank" -v w="$rss_written" 'BEGIN {
    printf "\npeak RSS with a 10 MB cquery.ini (goal: below 100 MB)\n"
    printf "%-16s %10.1f MB - %s\n", "blank lines", b / 1024, b < 102400 ? "met" : "not met"
    printf "%-16s %10.1f MB - %s\n", "written lines", w / 1024, w < 102400 ? "met" : "not met"
}'
