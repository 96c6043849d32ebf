#!/usr/bin/env bash
# Times the lookup window as whole processes on the offscreen platform: opening and closing it, and with
# one search by VIN, one by year, make and model, and both; beside it, as the reference, a plain QDialog
# with the same kinds and numbers of controls (bench/lookup_window_reference.cpp) opened and closed the same
# way. The driver, the core library, the window's modules, the stand-in engine and the reference are copied
# into a program folder, as installed. The runs of all five are interleaved in rounds; each line reports
# the median wall time over all runs, the median of the rounds' mean CPU time (user and system; steadier
# than wall time on a busy machine) and the median peak memory. Goal: opening the window takes at most 1.4
# times the reference's wall time.
#
#   cmake --preset bench && cmake --build --preset bench && bench/lookup_window.sh [build/bench] [rounds]
set -euo pipefail
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
rounds="${2:-20}"
bin="$build/bin"
files=(lookup_window_driver lookup_window_reference libcarlume_core.so libcarlume_xml.so libcarlume_jpeg.so
    libchassix.so)
for file in "${files[@]}" peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/Data" "$work/windows" "$work/runtime"
for file in "${files[@]}"; do cp "$bin/$file" "$work/program/"; done
chmod 700 "$work/runtime"
export WINDIR="$work/windows" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY CHASSIX_FAKE_JOURNAL

driver="$work/program/lookup_window_driver"
reference="$work/program/lookup_window_reference"
"$reference" 2>/dev/null || { echo "the reference failed" >&2; exit 1; }
for searches in "" vin ymm "vin ymm"; do
    # shellcheck disable=SC2086 # the searches are separate arguments
    "$driver" $searches 2>/dev/null || { echo "the driver failed for '$searches'" >&2; exit 1; }
done

names=(reference open vin ymm both)
commands=("$reference" "$driver" "$driver vin" "$driver ymm" "$driver vin ymm")
args=()
for i in "${!names[@]}"; do args+=(--command-name "${names[$i]}" "${commands[$i]}"); done

# Rounds of a few runs of each, so that a slow spell of the machine falls on all of them alike.
# hyperfine's own report is not needed: its warnings go to a log, shown when it fails.
hyperfine --shell=none --warmup 3 --runs 2 --style none "${args[@]}" >"$work/hyperfine.log" 2>&1 ||
    { cat "$work/hyperfine.log" >&2; exit 1; }
for round in $(seq "$rounds"); do
    hyperfine --shell=none --runs 5 --style none --export-json "$work/round$round.json" "${args[@]}" \
        >"$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log" >&2; exit 1; }
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086 # the command's words are separate arguments
        echo "${names[$i]} $("$bin/peak_rss" ${commands[$i]} 2>/dev/null)" >>"$work/peaks.txt"
    done
done

# "command" names each result; its mean user and system times (s) follow, then its wall times, one a line,
# between "times": [ and ].
awk '/"command":/ { split($0, q, "\""); name = q[4] }
     /"user":/ { gsub(/[^0-9.e-]/, "", $2); user = $2 }
     /"system":/ { gsub(/[^0-9.e-]/, "", $2); print name, (user + $2) * 1000 >cpu }
     /"times":/ { inside = 1; next }
     inside && /\]/ { inside = 0 }
     inside { gsub(/[ ,]/, ""); print name, $0 * 1000 }' cpu="$work/cpu.txt" "$work"/round*.json >"$work/times.txt"

median() { awk -v name="$2" '$1 == name { print $2 }' "$1" | sort -g | awk '{ v[NR] = $1 }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf "\n%-10s %12s %14s %14s   (%d rounds of 5 runs, interleaved)\n" "" "median (ms)" "CPU (ms)" \
    "peak RSS (kB)" "$rounds"
for name in "${names[@]}"; do
    printf "%-10s %12.2f %14.2f %14d\n" "$name" "$(median "$work/times.txt" "$name")" \
        "$(median "$work/cpu.txt" "$name")" "$(median "$work/peaks.txt" "$name")"
done
open_ms="$(median "$work/times.txt" open)"
reference_ms="$(median "$work/times.txt" reference)"
awk -v o="$open_ms" -v r="$reference_ms" \
    -v om="$(median "$work/peaks.txt" open)" -v rm="$(median "$work/peaks.txt" reference)" \
    -v oc="$(median "$work/cpu.txt" open)" -v rc="$(median "$work/cpu.txt" reference)" \
    -v v="$(median "$work/times.txt" vin)" -v y="$(median "$work/times.txt" ymm)" 'BEGIN {
    printf "\nbeyond opening the window: search by VIN %.2f ms, by year, make and model %.2f ms\n", v - o, y - o
    printf "opening the lookup window against the plain dialog: wall time %.2fx, CPU time %.2fx, peak memory %.2fx\n",
        o / r, oc / rc, om / rm
}'
echo
verdict "opening the lookup window against a plain QDialog, median wall time" "$(ratio "$open_ms" "$reference_ms")" \
    "at most" 1.4 x
end_verdicts
