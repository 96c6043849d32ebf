#!/usr/bin/env bash
# Times the About windows as whole processes on the offscreen platform: the lookup window alone, with the
# About box shown and painted over it, and with the installation-details window over program folders
# holding 1,000 and 10,000 version files. The driver, the core library, the windows' modules, the stand-in
# engine and the logo are copied into a program folder, as installed. The runs of all five are interleaved
# in rounds of five runs each (hyperfine), so that a busy spell of the machine falls on all of them alike.
# Reports the median wall time over all runs and peak memory, then the verdicts: the About box under 50 ms
# and the details window with 1,000 version files under 200 ms beyond the lookup window, and 10,000 files
# at most 12 times the cost of 1,000 (linear).
#
#   cmake --preset bench && cmake --build --preset bench && bench/about_windows.sh [build/bench] [rounds]
set -euo pipefail
source "$(dirname "$0")/peak_memory.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
rounds="${2:-10}"
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

names=(window about details details-1000 details-10000)
args=(--command-name window "$work/program/lookup_window_driver"
    --command-name about "$work/program/lookup_window_driver about"
    --command-name details "$work/program/lookup_window_driver details"
    --command-name details-1000 "$work/many/lookup_window_driver details"
    --command-name details-10000 "$work/many10k/lookup_window_driver details")
# hyperfine's own report is not needed: its warnings go to a log, shown when it fails.
hyperfine --shell=none --warmup 3 --runs 2 --style none "${args[@]}" >"$work/hyperfine.log" 2>&1 ||
    { cat "$work/hyperfine.log" >&2; exit 1; }
for round in $(seq "$rounds"); do
    hyperfine --shell=none --runs 5 --style none --export-json "$work/round$round.json" "${args[@]}" \
        >"$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; exit 1; }
done
# "command" names each result; its wall times (s) follow, one a line, between "times": [ and ].
awk '/"command":/ { split($0, q, "\""); name = q[4] }
     /"times":/ { inside = 1; next }
     inside && /\]/ { inside = 0 }
     inside { gsub(/[ ,]/, ""); print name, $0 * 1000 }' "$work"/round*.json >"$work/times.txt"

rss_window="$(peak 3 "$work/program/lookup_window_driver")"
rss_1000="$(peak 3 "$work/many/lookup_window_driver" details)"
rss_10000="$(peak 3 "$work/many10k/lookup_window_driver" details)"

# The median wall time (ms) of one of the names over all its runs.
median() { awk -v name="$1" '$1 == name { print $2 }' "$work/times.txt" | sort -g | awk '{ v[NR] = $1 }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
window="$(median window)"
beyond() { awk -v t="$(median "$1")" -v w="$window" 'BEGIN { print t - w }'; }
about="$(beyond about)" details_1000="$(beyond details-1000)" details_10000="$(beyond details-10000)"
printf "\n%-40s %12s   (%d rounds of 5 runs, interleaved)\n" "median wall time (ms)" "" "$rounds"
for name in "${names[@]}"; do printf "%-40s %12.1f\n" "$name" "$(median "$name")"; done
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
end_verdicts
