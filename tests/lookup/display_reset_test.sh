#!/usr/bin/env bash
# A run against an X server that ends when its last client leaves (Xvfb -terminate): the program's own
# display check connects and leaves before Qt connects, so unless the check's connection is held, the server
# is gone by then and Qt ends the process. The run must reach the lookup window and wait there.
# Arguments: the program, then the libraries that go into its folder.
set -u
tmp=$(mktemp -d)
xvfb=
run=
cleanup() {
    [ -n "$run" ] && kill "$run" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/program/Data" "$tmp/windows"
# Without a runtime folder of its own, Qt makes one in the temporary folder and leaves it there.
mkdir -m 700 "$tmp/runtime"
cp "$@" "$tmp/program/"

Xvfb -displayfd 3 -terminate -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
if [ ! -s "$tmp/display" ]; then
    echo "Xvfb did not start"; cat "$tmp/xvfb.log"; exit 1
fi
display=":$(tr -d '\n' < "$tmp/display")"

env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" WINDIR="$tmp/windows" \
    XDG_RUNTIME_DIR="$tmp/runtime" "$tmp/program/$(basename "$1")" >"$tmp/run.log" 2>&1 &
run=$!
# A run that got its display waits in the lookup window; one that did not ends at once.
for _ in $(seq 50); do
    kill -0 "$run" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$run" 2>/dev/null; then
    echo "the lookup window is open on $display"
    exit 0
fi
wait "$run"
status=$?
run=
echo "the run ended at start with status $status:"
cat "$tmp/run.log"
exit 1
