#!/usr/bin/env bash
# Times a silent found-VIN run of cquery as a whole process against bench/reference_lookup.c, which makes
# only the same engine calls and the writes a run needs (cquery.ini renamed into place without a sync, the
# hand-back file synced with its folder). Both run side by side on a disk and on tmpfs, where a sync costs
# nothing. Reports wall time (hyperfine, in 30 short rounds that take turns between the two programs, so
# that a shared machine's changing load falls on both: the medians of the rounds' medians and of their
# ratios) and peak memory, and the ratio of each to the reference (wall time: at most 1.3x on both).
# Then the peak memory of the same run over a 10 MB cquery.ini, of blank lines and of lines as the program
# writes them (goal: under 100 MB). A verdict line for each goal ends the report.
#
#   cmake --preset bench && cmake --build --preset bench && bench/silent_lookup.sh [build/bench] [runs]
#
# The disk folder is $BENCH_DISK_DIR, else $TMPDIR, else /tmp; the tmpfs folder $BENCH_TMPFS_DIR, else
# /dev/shm. The script stops when the first is tmpfs or the second is not.
set -euo pipefail
source "$(dirname "$0")/peak_memory.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
runs="${2:-300}"
bin="$build/bin"
vin="1AVQL14S1A"
goal="1.3"
for file in cquery libcarlume_core.so libchassix.so reference_lookup peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

disk_dir="${BENCH_DISK_DIR:-${TMPDIR:-/tmp}}"
tmpfs_dir="${BENCH_TMPFS_DIR:-/dev/shm}"
[ "$(stat -f -c %T "$disk_dir")" != tmpfs ] || { echo "$disk_dir is tmpfs: set BENCH_DISK_DIR" >&2; exit 1; }
[ "$(stat -f -c %T "$tmpfs_dir")" = tmpfs ] || { echo "$tmpfs_dir is no tmpfs: set BENCH_TMPFS_DIR" >&2; exit 1; }

work_disk="$(mktemp -d "$disk_dir/carlume-silent-XXXXXX")"
work_tmpfs="$(mktemp -d "$tmpfs_dir/carlume-silent-XXXXXX")"
trap 'rm -rf "$work_disk" "$work_tmpfs"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM CHASSIX_FAKE_JOURNAL

# Two program folders with copies of the files, as installed, and a Windows folder; no display, no UI
# module. Both programs must hand back the same file.
prepare() {
    local work="$1"
    mkdir -p "$work/cquery/Data" "$work/reference/Data" "$work/windows"
    cp "$bin/cquery" "$bin/libcarlume_core.so" "$bin/libchassix.so" "$work/cquery/"
    cp "$bin/reference_lookup" "$bin/libchassix.so" "$work/reference/"
    WINDIR="$work/windows" "$work/cquery/cquery" "/VIN=$vin"
    WINDIR="$work/windows" "$work/reference/reference_lookup" "$vin"
    if ! cmp -s "$work/cquery/Data/cquery.dat" "$work/reference/Data/cquery.dat"; then
        echo "the two programs hand back different files:" >&2
        diff "$work/cquery/Data/cquery.dat" "$work/reference/Data/cquery.dat" >&2 || true
        exit 1
    fi
}

# Wall times in ms of cquery and the reference in one folder, and their ratio: "cquery reference ratio".
timed() {
    local work="$1" rounds=30
    for round in $(seq "$rounds"); do
        WINDIR="$work/windows" hyperfine --shell=none --warmup 2 --runs "$(((runs + rounds - 1) / rounds))" \
            --export-csv "$work/round$round.csv" \
            --command-name cquery "$work/cquery/cquery /VIN=$vin" \
            --command-name reference "$work/reference/reference_lookup $vin" >&2
    done
    # CSV columns: command, mean, stddev, median, ... (seconds).
    awk -F, '
        function median(values, n,    i, j, t) {
            for (i = 2; i <= n; i++)
                for (j = i; j > 1 && values[j - 1] > values[j]; j--) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
            return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
        }
        FNR == 1 { n++ }
        $1 == "cquery" { c[n] = $4 * 1000 }
        $1 == "reference" { r[n] = $4 * 1000 }
        END {
            for (i = 1; i <= n; i++) q[i] = c[i] / r[i]
            print median(c, n), median(r, n), median(q, n)
        }' "$work"/round*.csv
}


prepare "$work_disk"
prepare "$work_tmpfs"
read -r disk_cquery disk_reference disk_ratio < <(timed "$work_disk")
read -r tmpfs_cquery tmpfs_reference tmpfs_ratio < <(timed "$work_tmpfs")
export WINDIR="$work_disk/windows"
rss_cquery="$(peak 5 "$work_disk/cquery/cquery" "/VIN=$vin")"
rss_reference="$(peak 5 "$work_disk/reference/reference_lookup" "$vin")"

awk -v dc="$disk_cquery" -v dr="$disk_reference" -v dq="$disk_ratio" \
    -v tc="$tmpfs_cquery" -v tr="$tmpfs_reference" -v tq="$tmpfs_ratio" \
    -v mc="$rss_cquery" -v mr="$rss_reference" \
    -v disk="disk ($disk_dir)" -v tmpfs="tmpfs ($tmpfs_dir)" 'BEGIN {
    printf "\n%-28s %13s %16s %8s\n", "median wall time", "cquery (ms)", "reference (ms)", "ratio"
    printf "%-28s %13.2f %16.2f %7.2fx\n", disk, dc, dr, dq
    printf "%-28s %13.2f %16.2f %7.2fx\n", tmpfs, tc, tr, tq
    printf "%-28s %13d %16d %7.2fx\n", "peak RSS (kB)", mc, mr, mc / mr
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
rss_blank="$(PREPARE=blank_lines peak 3 "$work_disk/cquery/cquery" "/VIN=$vin")"
rss_written="$(PREPARE=written_lines peak 3 "$work_disk/cquery/cquery" "/VIN=$vin")"
cmp -s "$work_disk/cquery/Data/cquery.dat" "$work_disk/reference/Data/cquery.dat" || { echo "no hand-back" >&2; exit 1; }
rm -f "$ini"

echo
verdict "silent found-VIN run on a disk ($disk_dir), median wall time against the reference" "$disk_ratio" \
    "at most" "$goal" x
verdict "silent found-VIN run on tmpfs ($tmpfs_dir), median wall time against the reference" "$tmpfs_ratio" \
    "at most" "$goal" x
verdict "peak memory of a silent run with a 10 MB cquery.ini of blank lines" "$(ratio "$rss_blank" 1024)" \
    under 100 MB
verdict "peak memory of a silent run with a 10 MB cquery.ini of written lines" "$(ratio "$rss_written" 1024)" \
    under 100 MB
end_verdicts
