#!/usr/bin/env bash
# One paint of a 25 x 25 speed button against a QToolButton of the same size and content, offscreen, with
# the looks built (warm) and dropped before each paint (cold). Prints each time and the two ratios
# (speed button / tool button; the goals are warm <= 1.0 and cold <= 2.0).
#
#   cmake --preset bench && cmake --build --preset bench && bench/speed_button.sh [build/bench] [repetitions]
set -euo pipefail

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/speed_button_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/times.csv"
# Median CPU time per paint, in nanoseconds.
awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); t[name] = $4 }
    END {
        for (n in t) printf "%-16s %10.0f ns\n", n, t[n]
        printf "warm ratio %.2f (goal <= 1.0)\n", t["SpeedButtonWarm"] / t["ToolButtonWarm"]
        printf "cold ratio %.2f (goal <= 2.0)\n", t["SpeedButtonCold"] / t["ToolButtonCold"]
    }' "$work/times.csv"
