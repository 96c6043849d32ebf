# Sourced by the scripts that run a Google Benchmark program.
# medians PROGRAM REPETITIONS COLUMN runs PROGRAM with REPETITIONS repetitions, interleaved at random with
# the other benchmarks' so that a busy spell of the machine falls on all of them alike, and prints a line
# "name median unit" for each of its benchmarks, the median from CSV column COLUMN (3: real time, 4: CPU
# time).
medians() {
    "$1" --benchmark_repetitions="$2" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, -v column="$3" '$1 ~ /_median"?$/ { name = $1; gsub(/"|_median/, "", name); print name, $column, $5 }'
}

# median_of NAME FILE prints the median of NAME from the lines medians wrote into FILE.
median_of() {
    awk -v name="$1" '$1 == name { print $2 }' "$2"
}
