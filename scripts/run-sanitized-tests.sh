#!/usr/bin/env bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer into build-asan (SAN_BUILD_DIR) and runs every test there.
# Prints the leak suppressions in force and, after the run, how often each
# was used, so a new suppression or a growing count shows in the log.
# Exits with ctest's status.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=scripts/common.sh
source scripts/common.sh

SAN_DIR="${SAN_BUILD_DIR:-build-asan}"
SUPP=tests/lsan.supp

install_missing_packages

echo "LeakSanitizer suppressions in $SUPP ($(grep -cvE '^[[:space:]]*(#|$)' "$SUPP") entries):"
grep -vE '^[[:space:]]*(#|$)' "$SUPP" | sed 's/^/    /'

cmake -S . -B "$SAN_DIR" -DCMAKE_BUILD_TYPE=Debug -DUSERMGR_SANITIZE=ON -DUSERMGR_BUILD_BENCH=OFF
cmake --build "$SAN_DIR" -j"$(nproc)"

# The store suites run a second time on PostgreSQL.
start_private_pg_server

status=0
ctest --test-dir "$SAN_DIR" --output-on-failure -j2 || status=$?

# LSan reports the suppressions it used at the end of each test's output,
# which ctest keeps in its log.
log="$SAN_DIR/Testing/Temporary/LastTest.log"
if [[ -f "$log" ]]; then
    echo "Suppressions used (per test process, summed):"
    awk '/^Suppressions used:/ {inblock = 1; next}
         inblock && /^ *[0-9]+ +[0-9]+ / {count[$3] += $1; bytes[$3] += $2; next}
         inblock && !/^ *count/ {inblock = 0}
         END {if (length(count) == 0) print "    none";
              for (t in count) printf "    %-40s %6d leaks %9d bytes\n", t, count[t], bytes[t]}' "$log"
fi
exit "$status"
