#!/usr/bin/env bash
# Times the About windows as whole processes on the offscreen platform: the lookup window alone, with the
# About box shown and painted over it, and with the installation-details window over program folders
# holding 1,000 and 10,000 version files. The driver, the core library, the windows' modules, the stand-in
# engine and the logo are copied into a program folder, as installed. Reports wall time (hyperfine) and peak
# memory, then the verdicts: the About box under 50 ms and the details window with 1,000 version files under
# 200 ms beyond the lookup window, and 10,000 files at most 12 times the cost of 1,000 (linear).
#
#   cmake --preset bench && cmake --build --preset bench && bench/about_windows.sh [build/bench] [runs]
set -euo pipefail
source "$(dirname "$0")/peak_memory.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
runs="${2:-50}"
bin="$build/bin"
for file in lookup_window_driver libcarlume_core.so libcarlume_jpeg.so libcarlume_xml.so libchassix.so \
    libtscemail.so CLLogo.jpg peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/Data" "$work/windows" "$work/runtime"
cp "$bin/lookup_window_driver" "$bin/libcarlume_core.so" "$bin/libcarlume_jpeg.so" "$bin/libcarlume_xml.so" \
    "$bin/libchassix.so" "$bin/libtscemail.so" "$bin/CLLogo.jpg" "$work/program/"
# many: 1,000 version files; many10k: 10,000.
for folder in many:1000 many10k:10000; do
    name="${folder%%:*}"
    mkdir -p "$work/$name/Data"
    cp "$work/program/"*.so "$work/program/lookup_window_driver" "$work/program/CLLogo.jpg" "$work/$name/"
    for d in $(seq 0 19); do mkdir -p "$work/$name/parts/$d"; done
    for i in $(seq 1 "${folder##*:}"); do
        printf '[General]\r\nBuildDate=2024%02d%02d\r\nDescription=Component %d\r\n' $((i % 12 + 1)) \
            $((i % 28 + 1)) "$i" > "$work/$name/parts/$((i % 20))/component$i.ver"
    done
done
chmod 700 "$work/runtime"
export WINDIR="$work/windows" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY CHASSIX_FAKE_JOURNAL

hyperfine --shell=none --warmup 3 --runs "$runs" --export-csv "$work/times.csv" \
    --command-name window "$work/program/lookup_window_driver" \
    --command-name about "$work/program/lookup_window_driver about" \
    --command-name details "$work/program/lookup_window_driver details" \
    --command-name details-1000 "$work/many/lookup_window_driver details" \
    --command-name details-10000 "$work/many10k/lookup_window_driver details"

rss_window="$(peak 3 "$work/program/lookup_window_driver")"
rss_1000="$(peak 3 "$work/many/lookup_window_driver" details)"
rss_10000="$(peak 3 "$work/many10k/lookup_window_driver" details)"

# hyperfine's CSV has the median in column 4.
column() { awk -F, -v name="$1" -v col="$2" '$1 == name { print $col * 1000 }' "$work/times.csv"; }
window="$(column window 4)"
beyond() { awk -v t="$(column "$1" 4)" -v w="$window" 'BEGIN { print t - w }'; }
about="$(beyond about)" details_1000="$(beyond details-1000)" details_10000="$(beyond details-10000)"
printf "\n%-40s %12s %14s\n" "beyond the lookup window" "median (ms)" "peak RSS (kB)"
printf "%-40s %12.1f %14s\n" "About box" "$about" ""
printf "%-40s %12.1f %14s\n" "details window, no version files" "$(beyond details)" ""
printf "%-40s %12.1f %14d\n" "details window, 1,000 version files" "$details_1000" $((rss_1000 - rss_window))
printf "%-40s %12.1f %14d\n" "details window, 10,000 version files" "$details_10000" $((rss_10000 - rss_window))
echo
verdict "About box over the lookup window, median wall time beyond the window" "$about" under 50 ms
verdict "details window with 1,000 version files, median wall time beyond the lookup window" "$details_1000" \
    under 200 ms
verdict "details window with 10,000 against 1,000 version files, time beyond the lookup window" \
    "$(ratio "$details_10000" "$details_1000")" "at most" 12 x
