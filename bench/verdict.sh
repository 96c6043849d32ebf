# Sourced by the benchmark scripts. Every goal ends in one line of the same shape, as bench/verdict.h
# prints it for the benchmark programs:
#   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): met
#   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): NOT met
#
# verdict WHAT VALUE RELATION LIMIT UNIT: "at most" is met at the limit, "under" only beneath it. A unit
# "x" (a ratio) is written without a space.
verdict() {
    local what="$1" value="$2" relation="$3" limit="$4" unit="$5"
    case "$relation" in
    "at most" | under) ;;
    *) echo "verdict: unknown relation '$relation'" >&2; return 1 ;;
    esac
    awk -v what="$what" -v v="$value" -v relation="$relation" -v l="$limit" -v unit="$unit" 'BEGIN {
        met = relation == "at most" ? v + 0 <= l + 0 : v + 0 < l + 0
        gap = unit == "x" ? "" : " "
        goal = unit == "x" ? sprintf("%.1f", l) : sprintf("%g", l)
        printf "verdict: %s: %.2f%s%s (goal: %s %s%s%s): %s\n", what, v, gap, unit, relation, goal, gap, unit,
            met ? "met" : "NOT met"
    }'
}

# ratio A B prints A / B.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'
}
