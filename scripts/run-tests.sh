#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test with ctest,
# the store suites on SQLite and on a private PostgreSQL server (see
# start_private_pg_server in common.sh).
# Exits with ctest's status.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=scripts/common.sh
source scripts/common.sh

install_missing_packages
configure_and_build

# The store suites run a second time on PostgreSQL.
start_private_pg_server

status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 || status=$?
exit "$status"
