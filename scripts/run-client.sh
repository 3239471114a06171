#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo client with the user
# management form. Arguments are passed to the client (--db PATH,
# --screenshot FILE). Without a display the form is rendered offscreen into
# userMgr.png in the current directory.
set -euo pipefail

start_dir="$PWD"
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo_root"
# shellcheck source=scripts/common.sh
source scripts/common.sh

install_missing_packages
configure_and_build

client="$(cd "$BUILD_DIR" && pwd)/bin/orlun_client"
cd "$start_dir"

args=("$@")
default_shot=""
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
    wants_shot=0
    for arg in "${args[@]}"; do
        if [[ "$arg" == --screenshot* || "$arg" == -screenshot* ]]; then
            wants_shot=1
        fi
    done
    if ((wants_shot == 0)); then
        default_shot="$start_dir/userMgr.png"
        args+=(--screenshot "$default_shot")
    fi
fi

"$client" "${args[@]}"

if [[ -n "$default_shot" ]]; then
    echo "No display found: the form was rendered offscreen to $default_shot"
fi
