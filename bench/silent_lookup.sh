#!/usr/bin/env bash
# Times a silent found-VIN run of cquery as a whole process against bench/reference_lookup.c, which makes
# only the same engine calls and writes the same hand-back file. Reports wall time (hyperfine) and peak
# memory, and the ratio of each to the reference (target: within 2x).
#
#   cmake --preset bench && cmake --build --preset bench && bench/silent_lookup.sh [build/bench] [runs]
set -euo pipefail

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

peak() {
    local best=0 kb
    for _ in 1 2 3 4 5; do
        kb="$("$bin/peak_rss" "$@")"
        [ "$kb" -gt "$best" ] && best="$kb"
    done
    echo "$best"
}
rss_cquery="$(peak "$work/cquery/cquery" "/VIN=$vin")"
rss_reference="$(peak "$work/reference/reference_lookup" "$vin")"

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
