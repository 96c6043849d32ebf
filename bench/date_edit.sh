#!/usr/bin/env bash
# A ten-character date typed into the date edit and the field left with Tab, in-process and offscreen,
# beside a QLineEdit with the same input mask. Prints each median time, then the verdict (goal: under 1 ms).
#
#   cmake --preset bench && cmake --build --preset bench && bench/date_edit.sh [build/bench] [repetitions]
set -euo pipefail
source "$(dirname "$0")/medians.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/date_edit_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

medians "$bench" "$repetitions" 3 >"$work/medians.txt"
awk '{ printf "%-28s %10.1f us\n", $1, $2 }' "$work/medians.txt"
time_of() { median_of "$1" "$work/medians.txt"; }
printf "date edit against the masked line edit: %.1fx\n" \
    "$(ratio "$(time_of DateEditTypeAndLeave)" "$(time_of MaskedLineEditTypeAndLeave)")"
echo
verdict "typing a ten-character date into the date edit and leaving the field" \
    "$(ratio "$(time_of DateEditTypeAndLeave)" 1000)" under 1 ms
end_verdicts
