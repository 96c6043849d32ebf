#!/usr/bin/env bash
# One paint of the month grid against a QCalendarWidget of the same size showing the same month, and the
# time from Alt+Down in a combo edit until its popup calendar has painted, offscreen. Prints each time, the
# paint ratio (goal <= 1.0) and the popup time (goal < 16 ms).
#
#   cmake --preset bench && cmake --build --preset bench && bench/calendar.sh [build/bench] [repetitions]
set -euo pipefail

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/calendar_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/times.csv"
# Median real time, in nanoseconds (the popup also waits for the event loop).
awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); t[name] = $3; u[name] = $5 }
    END {
        for (n in t) printf "%-22s %10.1f %s\n", n, t[n], u[n]
        printf "paint ratio %.2f (goal <= 1.0)\n", t["UiCalendarPaint"] / t["QCalendarWidgetPaint"]
        printf "Alt+Down to popup painted %.2f ms (goal < 16 ms)\n", t["AltDownToPopupPainted"] / 1000
    }' "$work/times.csv"
