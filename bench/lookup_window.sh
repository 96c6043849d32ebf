#!/usr/bin/env bash
# Times the lookup window as whole processes on the offscreen platform: opening and closing it, and with
# one search by VIN, one by year, make and model, and both. The driver, the core library and the
# stand-in engine are copied into a program folder, as installed. Reports wall time (hyperfine) and peak
# memory.
#
#   cmake --preset bench && cmake --build --preset bench && bench/lookup_window.sh [build/bench] [runs]
set -euo pipefail

build="${1:-build/bench}"
runs="${2:-100}"
bin="$build/bin"
for file in lookup_window_driver libcarlume_core.so libchassix.so peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/Data" "$work/windows" "$work/runtime"
cp "$bin/lookup_window_driver" "$bin/libcarlume_core.so" "$bin/libchassix.so" "$work/program/"
chmod 700 "$work/runtime"
export WINDIR="$work/windows" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY CHASSIX_FAKE_JOURNAL

driver="$work/program/lookup_window_driver"
for searches in "" vin ymm "vin ymm"; do
    # shellcheck disable=SC2086 # the searches are separate arguments
    "$driver" $searches 2>/dev/null || { echo "the driver failed for '$searches'" >&2; exit 1; }
done

hyperfine --shell=none --warmup 5 --runs "$runs" --export-csv "$work/times.csv" \
    --command-name open "$driver" \
    --command-name vin "$driver vin" \
    --command-name ymm "$driver ymm" \
    --command-name both "$driver vin ymm"

peak() {
    local best=0 kb
    for _ in 1 2 3; do
        kb="$("$bin/peak_rss" "$@" 2>/dev/null)"
        [ "$kb" -gt "$best" ] && best="$kb"
    done
    echo "$best"
}

# CSV columns: command, mean (s), stddev (s), ...
column() { awk -F, -v name="$1" -v col="$2" '$1 == name { print $col * 1000 }' "$work/times.csv"; }
printf "\n%-6s %12s %12s %14s\n" "" "mean (ms)" "sd (ms)" "peak RSS (kB)"
for name in open vin ymm both; do
    case "$name" in
    open) args=() ;;
    both) args=(vin ymm) ;;
    *) args=("$name") ;;
    esac
    printf "%-6s %12.2f %12.2f %14d\n" "$name" "$(column "$name" 2)" "$(column "$name" 3)" \
        "$(peak "$driver" "${args[@]}")"
done
# A search's own share: its run less the bare opening, with the spread of the two runs together.
awk -v o="$(column open 2)" -v os="$(column open 3)" -v v="$(column vin 2)" -v vs="$(column vin 3)" \
    -v y="$(column ymm 2)" -v ys="$(column ymm 3)" 'BEGIN {
    printf "\nbeyond opening the window: search by VIN %.2f ± %.2f ms, by year, make and model %.2f ± %.2f ms\n",
        v - o, sqrt(vs * vs + os * os), y - o, sqrt(ys * ys + os * os)
}'
