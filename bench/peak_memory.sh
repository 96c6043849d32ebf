# Sourced by the benchmark scripts, with $bin set to the folder of peak_rss.
# peak N PROGRAM [ARGS...] prints the highest peak memory (kB) of N runs; the command named in $PREPARE, when
# set, runs before each.
peak() {
    local runs="$1" best=0 kb
    shift
    for ((run = 0; run < runs; run++)); do
        if [ -n "${PREPARE:-}" ]; then "$PREPARE"; fi
        kb="$("$bin/peak_rss" "$@")"
        [ "$kb" -gt "$best" ] && best="$kb"
    done
    echo "$best"
}
