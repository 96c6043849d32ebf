#!/usr/bin/env bash
# One paint of the month grid against a QCalendarWidget of the same size showing the same month, and the
# time from Alt+Down in a combo edit until its popup calendar has painted, offscreen. Prints each time, then
# the paint ratio (goal: at most 1.0x) and the popup time (goal: under 16 ms) as verdicts.
#
#   cmake --preset bench && cmake --build --preset bench && bench/calendar.sh [build/bench] [repetitions]
set -euo pipefail
source "$(dirname "$0")/medians.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/calendar_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Median real time, in nanoseconds (the popup also waits for the event loop).
medians "$bench" "$repetitions" 3 >"$work/medians.txt"
awk '{ printf "%-22s %10.1f %s\n", $1, $2, $3 }' "$work/medians.txt"
time_of() { median_of "$1" "$work/medians.txt"; }
echo
verdict "one paint of the month calendar against a QCalendarWidget" \
    "$(ratio "$(time_of UiCalendarPaint)" "$(time_of QCalendarWidgetPaint)")" "at most" 1.0 x
verdict "Alt+Down in a combo edit until its popup calendar has painted" \
    "$(ratio "$(time_of AltDownToPopupPainted)" 1000)" under 16 ms
end_verdicts
