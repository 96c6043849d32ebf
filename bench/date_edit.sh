#!/usr/bin/env bash
# A ten-character date typed into the date edit and the field left with Tab, in-process and offscreen,
# beside a QLineEdit with the same input mask. Prints each median time and the goal (< 1 ms).
#
#   cmake --preset bench && cmake --build --preset bench && bench/date_edit.sh [build/bench] [repetitions]
set -euo pipefail

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/date_edit_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/times.csv"
awk -F, '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); t[name] = $3 }
    END {
        for (n in t) printf "%-28s %10.1f us\n", n, t[n]
        printf "date edit, typed and left: %.3f ms (goal < 1 ms), %.1f x the masked line edit\n",
            t["DateEditTypeAndLeave"] / 1000, t["DateEditTypeAndLeave"] / t["MaskedLineEditTypeAndLeave"]
    }' "$work/times.csv"
