# shellcheck shell=bash
# Shared by run-client.sh and run-tests.sh: dependency check, build and the
# private PostgreSQL server of the store tests.
# Sourced, not run; expects to be called from the repository root.

BUILD_DIR="${BUILD_DIR:-build}"

REQUIRED_PACKAGES=(
    build-essential
    cmake
    qtbase5-dev
    qtbase5-dev-tools
    libqt5sql5-sqlite
    libqt5svg5-dev
    libqt5sql5-psql
    postgresql
    libzxcvbn-dev
    libsodium-dev
    pkg-config
    xvfb
    xauth
    xdotool
    qttools5-dev
    qttools5-dev-tools
    fonts-wqy-microhei
    clazy
)

# Installs the Debian packages that are not installed yet; does nothing (and
# needs no network or root) when everything is already there.
install_missing_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "dpkg-query not found: install the equivalents of ${REQUIRED_PACKAGES[*]} by hand." >&2
        return 0
    fi

    local missing=() pkg
    for pkg in "${REQUIRED_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi

    local sudo=()
    if [[ "$(id -u)" -ne 0 ]]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# Starts a private PostgreSQL server on a free loopback port in a temporary
# folder, exports its URL as ORLUN_TEST_PG (the store tests and bench_store
# use it) and stops it, removing the folder, when the calling script exits.
# Does nothing when ORLUN_TEST_PG is already set. initdb refuses to run as
# root, so under root the server runs as an unprivileged system user. Local
# connections are trusted: no password is involved.
start_private_pg_server() {
    if [[ -n "${ORLUN_TEST_PG:-}" ]]; then
        return 0
    fi
    local bin
    bin="$(find /usr/lib/postgresql -maxdepth 2 -name bin -type d 2>/dev/null | sort -V | tail -n 1)"
    if [[ -z "$bin" ]]; then
        echo "PostgreSQL server binaries not found under /usr/lib/postgresql" >&2
        return 1
    fi
    PG_PRIVATE_DIR="$(mktemp -d -t orlun-pg.XXXXXX)"
    PG_RUN=()
    if [[ "$(id -u)" -eq 0 ]]; then
        local user=postgres
        if ! id -u "$user" >/dev/null 2>&1; then
            user=orlun-pg
            id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home "$user"
        fi
        chown "$user" "$PG_PRIVATE_DIR"
        PG_RUN=(runuser -u "$user" --)
    fi
    local port
    while :; do
        port=$((20000 + RANDOM % 20000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || break
    done
    PG_PRIVATE_BIN="$bin"
    trap stop_private_pg_server EXIT
    "${PG_RUN[@]}" "$bin/initdb" -D "$PG_PRIVATE_DIR/data" -U orlun -A trust -E UTF8 \
        --locale=C --no-sync >"$PG_PRIVATE_DIR/initdb.log" 2>&1 ||
        { cat "$PG_PRIVATE_DIR/initdb.log" >&2; return 1; }
    "${PG_RUN[@]}" "$bin/pg_ctl" -D "$PG_PRIVATE_DIR/data" -l "$PG_PRIVATE_DIR/server.log" -w \
        -o "-p $port -k $PG_PRIVATE_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" \
        start >/dev/null ||
        { cat "$PG_PRIVATE_DIR/server.log" >&2; return 1; }
    export ORLUN_TEST_PG="postgresql://orlun@127.0.0.1:$port/postgres"
    echo "Private PostgreSQL server for the tests: $ORLUN_TEST_PG"
}

stop_private_pg_server() {
    if [[ -n "${PG_PRIVATE_DIR:-}" && -d "$PG_PRIVATE_DIR" ]]; then
        "${PG_RUN[@]}" "$PG_PRIVATE_BIN/pg_ctl" -D "$PG_PRIVATE_DIR/data" -m fast -w stop \
            >/dev/null 2>&1 || true
        rm -rf "$PG_PRIVATE_DIR"
    fi
}
