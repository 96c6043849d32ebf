#!/usr/bin/env bash
# Fails when the program, its core library or its UI module needs the XML library or the JPEG decoder,
# directly (NEEDED) or through another library: the silent run loads none of them, and the windows load
# them only through their own modules (libcarlume_xml.so, libcarlume_jpeg.so) when they first use them.
# With the UI module, the engine, the two modules and the logo given, real runs also show what the windows
# have mapped. On the offscreen platform, neither the lookup window nor the chooser has Xerces, libjpeg,
# either module, any of Qt's image-format plug-ins or the print system's client (it comes with the first
# print) mapped. On an X server (Xvfb, keys typed with xdotool), Help, About maps the decoder module but
# not Xerces.
# Usage: check_silent_run_libraries.sh <cquery> <libcarlume_core.so> [<libcarlume_ui.so> <libchassix.so>
#        <libcarlume_xml.so> <libcarlume_jpeg.so> <CLLogo.jpg>]
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
[ $# -ge 7 ] || exit $status

tmp=$(mktemp -d)
run=
xvfb=
cleanup() {
    [ -n "$run" ] && kill "$run" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/program/Data" "$tmp/windows" "$tmp/runtime"
chmod 700 "$tmp/runtime"
cp "$@" "$tmp/program/"
cquery="$tmp/program/$(basename "$1")"

# Starts the program with `$@` in the environment given before it (`start VAR=value ... -- args`).
start() {
    local vars=()
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINDIR="$tmp/windows" XDG_RUNTIME_DIR="$tmp/runtime" \
        "${vars[@]}" "$cquery" "$@" >"$tmp/run.log" 2>&1 &
    run=$!
}

# Waits until the run has `$1` mapped and sits in its event loop (the same wait in poll for half a second);
# false when it does not come to that within `$2` tenths of a second (a minute when not given).
settled() {
    local waits=0 call
    for _ in $(seq "${2:-600}"); do
        kill -0 "$run" 2>/dev/null || return 1
        if grep -q "$1" "/proc/$run/maps" 2>/dev/null; then
            call=$(cut -d' ' -f1 "/proc/$run/syscall" 2>/dev/null || true)
            # poll, ppoll, epoll_wait, epoll_pwait
            case "$call" in 7 | 271 | 232 | 281) waits=$((waits + 1)) ;; *) waits=0 ;; esac
            [ "$waits" -ge 5 ] && return 0
        fi
        sleep 0.1
    done
    return 1
}

# Checks that what the run has mapped holds nothing that matches `$2`, and something that matches `$3`
# when given; `$1` names what is shown.
inspect() {
    local maps
    maps=$(awk 'NF >= 6 { print $6 }' "/proc/$run/maps" | sort -u)
    if grep -Ei "$2" <<<"$maps"; then
        echo "the $1 has the libraries above mapped"
        status=1
    elif [ -n "${3:-}" ] && ! grep -Eq "$3" <<<"$maps"; then
        echo "the $1 has nothing that matches '$3' mapped"
        status=1
    else
        echo "the $1: $(grep -c '\.so' <<<"$maps") libraries mapped, none that matches '$2'"
    fi
}

stop() {
    kill "$run" 2>/dev/null || true
    wait "$run" 2>/dev/null || true
    run=
}

offscreen_run() {
    local what=$1 unwanted='xerces|jpeg|libcarlume_xml|imageformats|libcups'
    shift
    start QT_QPA_PLATFORM=offscreen -- "$@"
    if settled libcarlume_ui.so; then
        inspect "$what" "$unwanted"
    else
        echo "the $what did not come up:"
        cat "$tmp/run.log"
        status=1
    fi
    stop
}

offscreen_run "lookup window"
# A VIN the stand-in engine matches with several vehicles: the chooser opens without the lookup window.
offscreen_run "chooser" /VIN=2BMMR55X1C

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "Help, About not checked: it needs Xvfb and xdotool"
    exit $status
fi
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
display=":$(tr -d '\n' <"$tmp/display")"
start DISPLAY="$display" --
if settled libcarlume_ui.so; then
    # Keys typed before the window has the keyboard are lost: a few tries.
    for _ in 1 2 3; do
        DISPLAY="$display" xdotool key alt+h
        sleep 0.5
        DISPLAY="$display" xdotool key a
        settled libcarlume_jpeg.so 200 && break
        DISPLAY="$display" xdotool key Escape
    done
    if settled libcarlume_jpeg.so 10; then
        inspect "About box" 'xerces|libcarlume_xml' libcarlume_jpeg.so
    else
        echo "Help, About did not bring the About box with its logo:"
        cat "$tmp/run.log"
        status=1
    fi
else
    echo "the lookup window did not come up on $display:"
    cat "$tmp/run.log" "$tmp/xvfb.log"
    status=1
fi
stop
exit $status
