#!/usr/bin/env bash
# One paint of a 25 x 25 speed button against a QToolButton of the same size and content, offscreen, with
# the looks built (warm) and dropped before each paint (cold). Prints each time, then the two ratios (speed
# button / tool button) as verdicts: warm at most 1.0x, cold at most 2.0x.
#
#   cmake --preset bench && cmake --build --preset bench && bench/speed_button.sh [build/bench] [repetitions]
set -euo pipefail
source "$(dirname "$0")/medians.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
repetitions="${2:-5}"
bench="$build/bin/speed_button_bench"
[ -x "$bench" ] || { echo "missing $bench: build the bench preset first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Median CPU time per paint, in nanoseconds.
medians "$bench" "$repetitions" 4 >"$work/medians.txt"
awk '{ printf "%-16s %10.0f ns\n", $1, $2 }' "$work/medians.txt"
time_of() { median_of "$1" "$work/medians.txt"; }
echo
verdict "one paint of the speed button against a QToolButton, looks built (warm)" \
    "$(ratio "$(time_of SpeedButtonWarm)" "$(time_of ToolButtonWarm)")" "at most" 1.0 x
verdict "one paint of the speed button against a QToolButton, looks rebuilt (cold)" \
    "$(ratio "$(time_of SpeedButtonCold)" "$(time_of ToolButtonCold)")" "at most" 2.0 x
end_verdicts
