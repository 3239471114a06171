#!/usr/bin/env bash
# Installs the build in $BUILD_DIR to a temporary prefix, builds the
# out-of-tree example against the installed package alone and runs it
# offscreen; it must create the user form through the module's entry and
# save a screenshot. Leaves the screenshot in $BUILD_DIR/outoftree.png.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD_DIR="${BUILD_DIR:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --install "$BUILD_DIR" --prefix "$work/prefix" >/dev/null
cmake -S examples/outoftree -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$work/build" -j2 >/dev/null

shot="$BUILD_DIR/outoftree.png"
rm -f "$shot"
QT_QPA_PLATFORM=offscreen "$work/build/outoftree" "$shot"
if [[ ! -s "$shot" ]]; then
    echo "check-package: the out-of-tree client wrote no screenshot" >&2
    exit 1
fi
echo "check-package: out-of-tree client built against the installed package; screenshot $shot"
