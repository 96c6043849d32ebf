#!/usr/bin/env bash
# Fails when the program, its core library or its UI module needs the XML library or the JPEG decoder,
# directly (NEEDED) or through another library: the silent run loads none of them, and the windows load
# them only through their own modules (libcarlume_xml.so, libcarlume_jpeg.so) when they first use them.
# With the UI module, the engine and the two modules given, real runs on the offscreen platform also show
# that neither the lookup window nor the chooser has Xerces or either module mapped, nor libjpeg unless Qt
# brought it with its own JPEG image plugin (Qt loads its image plugins to read the menu bar's icons, in a
# plain QDialog as well). Nor do they have the print system's client mapped: it comes with the first print.
# Usage: check_silent_run_libraries.sh <cquery> <libcarlume_core.so> [<libcarlume_ui.so> <libchassix.so>
#        <libcarlume_xml.so> <libcarlume_jpeg.so>]
set -euo pipefail
forbidden='xerces|jpeg|libcarlume_xml'
status=0
for binary in "${@:1:3}"; do
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
[ $# -ge 6 ] || exit $status

tmp=$(mktemp -d)
run=
cleanup() {
    [ -n "$run" ] && kill "$run" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/program/Data" "$tmp/windows" "$tmp/runtime"
chmod 700 "$tmp/runtime"
cp "$@" "$tmp/program/"
cquery="$tmp/program/$(basename "$1")"

# Starts the program with `$@`, waits until it has loaded its windows and sits in its event loop (the
# same wait in poll for half a second), then checks what it has mapped and ends it.
check_run() {
    local what=$1 maps waits=0 call mapped_forbidden
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen WINDIR="$tmp/windows" \
        XDG_RUNTIME_DIR="$tmp/runtime" "$cquery" "$@" >"$tmp/run.log" 2>&1 &
    run=$!
    for _ in $(seq 600); do
        kill -0 "$run" 2>/dev/null || break
        if grep -q libcarlume_ui.so "/proc/$run/maps" 2>/dev/null; then
            call=$(cut -d' ' -f1 "/proc/$run/syscall" 2>/dev/null || true)
            # poll, ppoll, epoll_wait, epoll_pwait
            case "$call" in 7 | 271 | 232 | 281) waits=$((waits + 1)) ;; *) waits=0 ;; esac
            [ "$waits" -ge 5 ] && break
        fi
        sleep 0.1
    done
    if [ "$waits" -lt 5 ]; then
        echo "the $what did not come up:"
        cat "$tmp/run.log"
        status=1
    else
        maps=$(awk 'NF >= 6 { print $6 }' "/proc/$run/maps" | sort -u)
        mapped_forbidden='xerces|libcarlume_xml|libcarlume_jpeg|libcups'
        grep -q 'imageformats/libqjpeg' <<<"$maps" || mapped_forbidden+='|jpeg'

        if grep -Ei "$mapped_forbidden" <<<"$maps"; then
            echo "the $what has the libraries above mapped"
            status=1
        else
            echo "the $what: $(grep -c '\.so' <<<"$maps") libraries mapped, no Xerces, no module of ours, no print client"
        fi
    fi
    kill "$run" 2>/dev/null || true
    wait "$run" 2>/dev/null || true
    run=
}

check_run "lookup window"
# A VIN the stand-in engine matches with several vehicles: the chooser opens without the lookup window.
check_run "chooser" /VIN=2BMMR55X1C
exit $status
