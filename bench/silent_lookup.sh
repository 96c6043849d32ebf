#!/usr/bin/env bash
# Times a silent found-VIN run of cquery as a whole process against bench/reference_lookup.c, which makes
# only the same engine calls and the writes a run needs (cquery.ini renamed into place without a sync, the
# hand-back file synced with its folder). Both run side by side on a disk and on tmpfs, where a sync costs
# nothing. Reports wall time (hyperfine; the median, as a shared machine's other work shows in the mean)
# and peak memory, and the ratio of each to the reference (goal: at most 1.3x on both file systems).
#
#   cmake --preset bench && cmake --build --preset bench && bench/silent_lookup.sh [build/bench] [runs]
#
# The disk folder is $BENCH_DISK_DIR, else $TMPDIR, else /tmp; the tmpfs folder $BENCH_TMPFS_DIR, else
# /dev/shm. The script stops when the first is tmpfs or the second is not.
set -euo pipefail

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

# Median wall times in ms of cquery and the reference in one folder: "cquery reference".
timed() {
    local work="$1"
    WINDIR="$work/windows" hyperfine --shell=none --warmup 20 --runs "$runs" --export-csv "$work/times.csv" \
        --command-name cquery "$work/cquery/cquery /VIN=$vin" \
        --command-name reference "$work/reference/reference_lookup $vin" >&2
    # CSV columns: command, mean, stddev, median, ... (seconds).
    awk -F, '$1 == "cquery" { c = $4 * 1000 } $1 == "reference" { r = $4 * 1000 } END { print c, r }' \
        "$work/times.csv"
}

peak() {
    local best=0 kb
    for _ in 1 2 3 4 5; do
        kb="$(WINDIR="$work_disk/windows" "$bin/peak_rss" "$@")"
        [ "$kb" -gt "$best" ] && best="$kb"
    done
    echo "$best"
}

prepare "$work_disk"
prepare "$work_tmpfs"
read -r disk_cquery disk_reference < <(timed "$work_disk")
read -r tmpfs_cquery tmpfs_reference < <(timed "$work_tmpfs")
rss_cquery="$(peak "$work_disk/cquery/cquery" "/VIN=$vin")"
rss_reference="$(peak "$work_disk/reference/reference_lookup" "$vin")"

awk -v dc="$disk_cquery" -v dr="$disk_reference" -v tc="$tmpfs_cquery" -v tr="$tmpfs_reference" \
    -v mc="$rss_cquery" -v mr="$rss_reference" -v goal="$goal" \
    -v disk="disk ($disk_dir)" -v tmpfs="tmpfs ($tmpfs_dir)" 'BEGIN {
    printf "\n%-28s %13s %16s %8s\n", "median wall time", "cquery (ms)", "reference (ms)", "ratio"
    printf "%-28s %13.2f %16.2f %7.2fx   goal <= %sx: %s\n", disk, dc, dr, dc / dr, goal,
           dc / dr <= goal ? "met" : "NOT met"
    printf "%-28s %13.2f %16.2f %7.2fx   goal <= %sx: %s\n", tmpfs, tc, tr, tc / tr, goal,
           tc / tr <= goal ? "met" : "NOT met"
    printf "%-28s %13d %16d %7.2fx\n", "peak RSS (kB)", mc, mr, mc / mr
}'
