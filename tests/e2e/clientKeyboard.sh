#!/usr/bin/env bash
# Adds an account to the demo client with the keyboard only, grants it a
# channel group, saves, starts the client again on the same store and checks
# what the store holds. Run under xvfb-run; arguments: the client and the
# store checker.
set -euo pipefail

client=$1
check=$2
work=$(mktemp -d)
store=$work/orlun.db
pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

key() { xdotool key --delay 60 "$@"; }
typed() { xdotool type --delay 40 "$1"; }
# Waits for a visible window whose title is exactly $1 and gives it the
# keyboard (there is no window manager to do it).
window() {
    local id
    id=$(xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
    xdotool windowfocus --sync "$id"
    sleep 0.3
}

"$client" --db "$store" >"$work/client.log" 2>&1 &
pid=$!
window "User Management"

# The focus starts in the account search box: Tab to the list, Tab to "add".
key Tab Tab space
# "Reuse the shown account's data?" Enter declines: start from empty fields.
window Notice
key Return
window "User Management"

# The name field has the focus now.
typed kbuser1
key Tab
typed 'Str0ng#Pass9'
key Tab
typed 'Night shift'
# Function list (all functions, as offered), then the channel tree's search.
key Tab Tab
typed 'Parking Lots'
# In the tree the last shown item is the only match; Space ticks it.
key Tab End space
# Remove Channels, the table's search, "All", the table, then Add.
key Tab Tab Tab Tab Tab space

# The account is written after its grants; wait until it is there.
for ((i = 0; i < 100; ++i)); do
    "$check" "$store" kbuser1 'Str0ng#Pass9' >/dev/null && break
    sleep 0.1
done

kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# Started again on the same store, the client seeds nothing and shows it.
"$client" --db "$store" --screenshot "$work/again.png" >"$work/again.log"
if grep -q Seeded "$work/again.log"; then
    echo "the store was seeded again" >&2
    exit 1
fi

expected="describe=Night shift mask=-1 password=ok groups=group-parking channels=those of the groups (8)"
actual=$("$check" "$store" kbuser1 'Str0ng#Pass9')
if [[ $actual != "$expected" ]]; then
    echo "expected: $expected" >&2
    echo "actual:   $actual" >&2
    cat "$work/client.log" >&2
    exit 1
fi
echo "$actual"
