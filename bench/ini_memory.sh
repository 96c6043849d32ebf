#!/usr/bin/env bash
# Peak memory and wall time of reading INI files dense with short lines, the ways the program reads them: a
# silent found-VIN run of cquery over a cquery.ini of each shape (the run reads the file and writes it back
# with its three keys), and the installation-details window's reading of a version file (ReadVersionFile,
# run by version_file_reader). Shapes: "[S<n>]" and "k=v" lines, "[<n>]" lines, one "k=v" repeated in one
# section, blank lines, and one long line, each at 10 MB and at 200 MB. Prints each run's peak memory
# against the file's size and its wall time per MB (hyperfine medians), then the verdicts: peak memory under
# 8 times the file's size at both sizes, a 10 MB cquery.ini under 100 MB, and the time per MB at 200 MB at
# most 1.5 times that at 10 MB.
#
#   cmake --preset bench && cmake --build --preset bench && bench/ini_memory.sh [build/bench] [runs]
#
# The files go to $BENCH_DIR, else /dev/shm (about 1 GB at a time).
set -euo pipefail
source "$(dirname "$0")/peak_memory.sh"
source "$(dirname "$0")/verdict.sh"

build="${1:-build/bench}"
runs="${2:-3}"
bin="$build/bin"
vin="1AVQL14S1A"
for file in cquery libcarlume_core.so libchassix.so version_file_reader peak_rss; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d "${BENCH_DIR:-/dev/shm}/carlume-ini-XXXXXX")"
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM CHASSIX_FAKE_JOURNAL
mkdir -p "$work/program/Data" "$work/windows"
cp "$bin/cquery" "$bin/libcarlume_core.so" "$bin/libchassix.so" "$bin/version_file_reader" "$work/program/"
export WINDIR="$work/windows"
ini="$WINDIR/cquery.ini"
shapes="sections numbered repeated blank long"

# shape NAME BYTES FILE writes a file of that shape of about BYTES bytes.
shape() {
    local name="$1" bytes="$2" file="$3"
    case "$name" in
    sections) awk -v size="$bytes" 'BEGIN { while (n < size) { line = sprintf("[S%d]\nk=v\n", ++i); printf "%s", line; n += length(line) } }' > "$file" ;;
    numbered) awk -v size="$bytes" 'BEGIN { while (n < size) { line = sprintf("[%d]\n", ++i); printf "%s", line; n += length(line) } }' > "$file" ;;
    repeated) { printf '[S]\n'; yes 'k=v' | head -n "$(( (bytes - 4) / 4 ))" || true; } > "$file" ;;
    blank) { yes '' | head -c "$bytes" || true; } > "$file" ;;
    long) { printf '[General]\nDescription='; head -c "$(( bytes - 22 ))" /dev/zero | tr '\0' x; printf '\n'; } > "$file" ;;
    esac
}

# Each run starts from the file as generated: the silent run writes its keys into it.
source_ini=""
fresh_ini() { cp "$source_ini" "$ini"; }

# median_seconds PREPARE COMMAND prints hyperfine's median wall time of COMMAND in seconds.
median_seconds() {
    local prepare="$1" command="$2"
    hyperfine --shell=none --warmup 1 --runs "$runs" --prepare "$prepare" --export-csv "$work/times.csv" \
        "$command" > /dev/null 2>&1
    awk -F, 'NR == 2 { print $4 }' "$work/times.csv"
}

# Lines "shape megabytes reader bytes peak-kB seconds".
results="$work/results"
: > "$results"
for megabytes in 10 200; do
    for name in $shapes; do
        source_ini="$work/$name.ini"
        shape "$name" $((megabytes << 20)) "$source_ini"
        bytes="$(stat -c %s "$source_ini")"

        kb="$(PREPARE=fresh_ini peak 1 "$work/program/cquery" "/VIN=$vin")"
        tail -c 200 "$ini" | grep -q "CommandLine=" || { echo "$name: cquery.ini was not written" >&2; exit 1; }
        [ -s "$work/program/Data/cquery.dat" ] || { echo "$name: no hand-back file" >&2; exit 1; }
        seconds="$(median_seconds "cp $source_ini $ini" "$work/program/cquery /VIN=$vin")"
        echo "$name $megabytes silent $bytes $kb $seconds" >> "$results"

        kb="$(peak 1 "$work/program/version_file_reader" "$source_ini")"
        seconds="$(median_seconds "true" "$work/program/version_file_reader $source_ini")"
        echo "$name $megabytes version $bytes $kb $seconds" >> "$results"
        rm -f "$source_ini" "$ini"
    done
done

printf "\n%-10s %-8s %6s %12s %10s %10s %10s\n" "shape" "read by" "MB" "peak (MB)" "peak/size" "time (s)" "ms per MB"
awk '{ mb = $4 / 1048576; printf "%-10s %-8s %6d %12.1f %9.2fx %10.3f %10.2f\n", $1, $3, $2, $5 / 1024, $5 * 1024 / $4, $6, $6 * 1000 / mb }' \
    "$results"

# field SHAPE MEGABYTES READER COLUMN prints one figure of the results.
field() { awk -v s="$1" -v m="$2" -v r="$3" -v c="$4" '$1 == s && $2 == m && $3 == r { print $c }' "$results"; }
peak_ratio() { awk -v kb="$(field "$1" "$2" "$3" 5)" -v b="$(field "$1" "$2" "$3" 4)" 'BEGIN { print kb * 1024 / b }'; }
per_mb() { awk -v t="$(field "$1" "$2" "$3" 6)" -v b="$(field "$1" "$2" "$3" 4)" 'BEGIN { print t / (b / 1048576) }'; }

echo
for name in $shapes; do
    for reader in silent version; do
        what="$([ "$reader" = silent ] && echo "silent run over a cquery.ini" || echo "version file read")"
        larger="$(awk -v a="$(peak_ratio "$name" 10 "$reader")" -v b="$(peak_ratio "$name" 200 "$reader")" \
            'BEGIN { print (a > b ? a : b) }')"
        verdict "$what of $name lines at 10 and 200 MB, the larger peak memory against the file's size" \
            "$larger" under 8 x
        verdict "$what of $name lines, time per MB at 200 MB against 10 MB" \
            "$(ratio "$(per_mb "$name" 200 "$reader")" "$(per_mb "$name" 10 "$reader")")" "at most" 1.5 x
    done
    verdict "silent run over a 10 MB cquery.ini of $name lines, peak memory" \
        "$(ratio "$(field "$name" 10 silent 5)" 1024)" under 100 MB
done
end_verdicts
