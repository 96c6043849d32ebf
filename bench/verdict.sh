# Sourced by the benchmark scripts. Every goal ends in one line of the same shape, as bench/verdict.h
# prints it for the benchmark programs:
#   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): met
#   verdict: <what is measured>: <result> (goal: <at most|under> <limit>): NOT met
#
# verdict WHAT VALUE RELATION LIMIT UNIT: "at most" is met at the limit, "under" only beneath it. A unit
# "x" (a ratio) is written without a space. A goal NOT met, or a value that is no number, is counted; the
# script's last line, `end_verdicts`, exits non-zero when any was.
verdicts_not_met=0
verdict() {
    local what="$1" value="$2" relation="$3" limit="$4" unit="$5"
    case "$relation" in
    "at most" | under) ;;
    *) echo "verdict: unknown relation '$relation'" >&2; return 1 ;;
    esac
    awk -v what="$what" -v v="$value" -v relation="$relation" -v l="$limit" -v unit="$unit" 'BEGIN {
        number = v ~ /^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/
        met = number && (relation == "at most" ? v + 0 <= l + 0 : v + 0 < l + 0)
        gap = unit == "x" ? "" : " "
        goal = unit == "x" ? sprintf("%.1f", l) : sprintf("%g", l)
        shown = number ? sprintf("%.2f", v) : "\"" v "\""
        printf "verdict: %s: %s%s%s (goal: %s %s%s%s): %s\n", what, shown, gap, unit, relation, goal, gap, unit,
            met ? "met" : "NOT met"
        exit !met
    }' || verdicts_not_met=$((verdicts_not_met + 1))
}

# end_verdicts ends the script: status 1 when a goal was NOT met, else 0.
end_verdicts() {
    exit $((verdicts_not_met > 0))
}

# ratio A B prints A / B.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'
}
