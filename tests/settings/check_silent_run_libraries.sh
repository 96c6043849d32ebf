#!/usr/bin/env bash
# Fails when the program or its core library needs the XML library or the JPEG decoder, directly (NEEDED)
# or through another library: those belong to the UI module, which the silent run never loads.
# Usage: check_silent_run_libraries.sh <cquery> <libcarlume_core.so>
set -euo pipefail
forbidden='xerces|jpeg'
status=0
for binary in "$@"; do
    direct=$(readelf -d "$binary" | awk '/NEEDED/ { print $NF }' | tr -d '[]')
    if grep -Ei "$forbidden" <<<"$direct"; then
        echo "$binary needs the libraries above directly"
        status=1
    fi
    all=$(LD_LIBRARY_PATH="$(dirname "$binary")" ldd "$binary")
    if grep -Ei "$forbidden" <<<"$all"; then
        echo "$binary loads the libraries above"
        status=1
    else
        echo "$(basename "$binary"): $(wc -l <<<"$all") libraries, none of them XML or JPEG"
    fi
done
exit $status
