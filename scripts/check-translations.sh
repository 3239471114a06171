#!/usr/bin/env bash
# Fails when the translations lag behind the sources: runs lupdate on a copy
# of every translations/*.ts and reports strings it finds unfinished (new or
# changed in the sources) or vanished (gone from the sources), then takes a
# screenshot of the built client in each language. With --update it writes
# lupdate's result back instead, for a translator to complete.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# catalog, then the sources it is extracted from
catalogs=(
    "orlun_userMgr userMgr"
    "orlun_base host/orlun_base"
    "orlun_data host/orlun_data"
    "orlun_worker host/orlun_worker"
    "orlun_login host/orlun_login"
    "orlun_client client"
)
languages=(zh_CN de)

update=0
[[ "${1:-}" == "--update" ]] && update=1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

status=0
for entry in "${catalogs[@]}"; do
    read -r catalog sources <<<"$entry"
    for lang in "${languages[@]}"; do
        ts="translations/${catalog}_${lang}.ts"
        out="$work/$(basename "$ts")"
        if [[ -f "$ts" ]]; then cp "$ts" "$out"; fi
        lupdate -silent -locations none -target-language "$lang" "$sources" -ts "$out" >/dev/null 2>>"$work/lupdate.log"
        if ((update)); then
            cp "$out" "$ts"
            continue
        fi
        if ! cmp -s "$out" "$ts"; then
            open=$(grep -cE 'type="(unfinished|vanished|obsolete)"' "$out" || true)
            echo "check-translations: $ts is not up to date with $sources ($open unfinished or vanished strings):" >&2
            grep -B3 -E 'type="(unfinished|vanished|obsolete)"' "$out" | grep -E '<source>' >&2 || true
            status=1
        fi
    done
done
if ((status == 0 && update == 0)); then
    echo "check-translations: every string is translated in ${languages[*]}"
fi

# Pictures of the client in each language, for a person to look at.
client="${BUILD_DIR:-build}/bin/orlun_client"
if ((update == 0)) && [[ -x "$client" ]]; then
    for lang in "${languages[@]}"; do
        shot="${BUILD_DIR:-build}/userMgr-$lang.png"
        if QT_QPA_PLATFORM=offscreen "$client" --lang "$lang" --db "$work/demo.db" \
            --screenshot "$shot" >/dev/null 2>&1 && [[ -s "$shot" ]]; then
            echo "check-translations: client screenshot in $lang: $shot"
        else
            echo "check-translations: the client failed to show itself in $lang" >&2
            status=1
        fi
    done
fi
exit "$status"
