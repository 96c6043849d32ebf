#!/usr/bin/env bash
# Times the About windows as whole processes on the offscreen platform: the lookup window alone, with the
# About box shown and painted over it, and with the installation-details window over a program folder
# holding 1,000 version files. The driver, the core library, the windows' modules, the stand-in engine and
# the logo are copied into a program folder, as installed. Reports wall time (hyperfine).
#
#   cmake --preset bench && cmake --build --preset bench && bench/about_windows.sh [build/bench] [runs]
set -euo pipefail

build="${1:-build/bench}"
runs="${2:-50}"
bin="$build/bin"
for file in lookup_window_driver libcarlume_core.so libcarlume_jpeg.so libcarlume_xml.so libchassix.so \
    libtscemail.so CLLogo.jpg; do
    [ -e "$bin/$file" ] || { echo "missing $bin/$file: build the bench preset first" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/Data" "$work/windows" "$work/runtime" "$work/many/Data"
cp "$bin/lookup_window_driver" "$bin/libcarlume_core.so" "$bin/libcarlume_jpeg.so" "$bin/libcarlume_xml.so" \
    "$bin/libchassix.so" "$bin/libtscemail.so" "$bin/CLLogo.jpg" "$work/program/"
cp "$work/program/"*.so "$work/program/lookup_window_driver" "$work/program/CLLogo.jpg" "$work/many/"
for i in $(seq 1 1000); do
    dir="$work/many/parts/$((i % 20))"
    mkdir -p "$dir"
    printf '[General]\r\nBuildDate=2024%02d%02d\r\nDescription=Component %d\r\n' $((i % 12 + 1)) $((i % 28 + 1)) \
        "$i" > "$dir/component$i.ver"
done
chmod 700 "$work/runtime"
export WINDIR="$work/windows" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY CHASSIX_FAKE_JOURNAL

hyperfine --shell=none --warmup 3 --runs "$runs" --export-csv "$work/times.csv" \
    --command-name window "$work/program/lookup_window_driver" \
    --command-name about "$work/program/lookup_window_driver about" \
    --command-name details "$work/program/lookup_window_driver details" \
    --command-name details-1000 "$work/many/lookup_window_driver details"

column() { awk -F, -v name="$1" -v col="$2" '$1 == name { print $col * 1000 }' "$work/times.csv"; }
awk -v w="$(column window 2)" -v a="$(column about 2)" -v d="$(column details 2)" -v m="$(column details-1000 2)" \
    'BEGIN { printf "\nAbout box over the lookup window: %.1f ms (goal < 50)\n", a - w
             printf "details window, 1,000 version files: %.1f ms beyond the window (goal < 200); empty folder %.1f ms\n", m - w, d - w }'
