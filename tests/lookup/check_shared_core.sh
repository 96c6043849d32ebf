#!/usr/bin/env bash
# Fails when the UI module holds its own copy of code that the core library defines: the module must take
# the core (and with it the engine's state and every other process-wide state) from libcarlume_core.so.
# Usage: check_shared_core.sh <libcarlume_ui.so> <libcarlume_core.so>
set -euo pipefail
module="$1"
core="$2"

strong() { nm -D --defined-only "$1" | awk '$2 ~ /^[TDBR]$/ { print $3 }' | sort -u; }

if ! readelf -d "$module" | grep -q "NEEDED.*\[$(basename "$core")\]"; then
    echo "$module does not load $(basename "$core")"
    exit 1
fi
twice=$(comm -12 <(strong "$module") <(strong "$core"))
if [ -n "$twice" ]; then
    echo "defined in both $module and $core:"
    echo "$twice" | c++filt | head -20
    exit 1
fi
echo "the module defines none of the core's $(strong "$core" | wc -l) symbols"
