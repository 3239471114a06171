#!/usr/bin/env bash
# Runs clazy (levels 0 and 1) over the module, host and client sources of the
# build in $BUILD_DIR (which must exist: it provides compile_commands.json)
# and fails on any clazy report.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD_DIR="${BUILD_DIR:-build}"
root="$(pwd)"

mapfile -t sources < <(python3 - "$BUILD_DIR/compile_commands.json" "$root" <<'PY'
import json, sys
root = sys.argv[2] + "/"
for entry in json.load(open(sys.argv[1])):
    path = entry["file"]
    if any(path.startswith(root + folder + "/") for folder in ("userMgr", "host", "client")):
        print(path)
PY
)
report="$(printf '%s\n' "${sources[@]}" |
    xargs -P2 -n4 clazy-standalone -p "$BUILD_DIR/compile_commands.json" -checks=level0,level1 2>&1 |
    grep -E 'warning: .*\[-Wclazy-' | sort -u || true)"
if [[ -n "$report" ]]; then
    echo "$report" >&2
    echo "check-clazy: $(wc -l <<<"$report") clazy reports" >&2
    exit 1
fi
echo "check-clazy: ${#sources[@]} files clean at clazy level 1"
