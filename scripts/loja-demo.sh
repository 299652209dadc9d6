# The demo store on a throwaway MariaDB, for the scripts that source this file.
# inicia_loja_demo PASTA ENDERECO SENHA starts a server from a new data folder in PASTA, on
# ENDERECO port 3306, with root and leitor logging in from anywhere with SENHA, and the database
# loja_demo holding the store's tables and the sample products; sql_loja runs the client on it
# as root; para_loja_demo stops it. inicia_loja_demo fails, leaving the server's log in PASTA,
# when the server ends or never answers (30 s).
servidor_loja=""
pasta_loja=""

sql_loja() { mariadb --no-defaults -S "$pasta_loja/mysqld.sock" -uroot "$@"; }

inicia_loja_demo() {
    pasta_loja=$1
    local endereco=$2 senha=$3 fontes
    fontes=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    # A temporary folder of its own, as two bootstraps in one /tmp may collide.
    mkdir -p "$pasta_loja/tmp"
    mariadb-install-db --no-defaults --force --skip-name-resolve --user="$(id -un)" \
        --auth-root-authentication-method=normal --skip-test-db --datadir="$pasta_loja/data" \
        --tmpdir="$pasta_loja/tmp" >"$pasta_loja/install.log" 2>&1
    mariadbd --no-defaults --user="$(id -un)" --skip-name-resolve --datadir="$pasta_loja/data" \
        --tmpdir="$pasta_loja/tmp" \
        --bind-address="$endereco" --port=3306 --socket="$pasta_loja/mysqld.sock" \
        --pid-file="$pasta_loja/mysqld.pid" --log-error="$pasta_loja/error.log" --skip-log-bin &
    servidor_loja=$!
    local respondeu=""
    for _ in $(seq 1 300); do
        if mariadb-admin --no-defaults -S "$pasta_loja/mysqld.sock" -uroot ping >/dev/null 2>&1; then
            respondeu=1
            break
        fi
        kill -0 "$servidor_loja" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$respondeu" ]; then
        echo "the demo store's server on $endereco did not answer; its log: $pasta_loja/error.log" >&2
        tail -n 20 "$pasta_loja/error.log" >&2 2>/dev/null || true
        return 1
    fi
    # Only the accounts below: install-db's root@127.0.0.1 would shadow root@'%'.
    sql_loja -e "DELETE FROM mysql.global_priv WHERE User = '' OR (User = 'root' AND Host <> 'localhost');
        FLUSH PRIVILEGES;
        CREATE USER root@'%' IDENTIFIED BY '$senha'; GRANT ALL ON *.* TO root@'%';
        CREATE USER leitor@'%' IDENTIFIED BY '$senha';
        CREATE DATABASE loja_demo DEFAULT CHARACTER SET latin1;
        GRANT SELECT ON loja_demo.* TO leitor@'%';"
    sql_loja loja_demo <"$fontes/schema/store.sql"
    sql_loja loja_demo <"$fontes/demo/loja-demo.sql"
}

para_loja_demo() {
    if [ -n "$servidor_loja" ]; then
        kill "$servidor_loja" 2>/dev/null && wait "$servidor_loja" 2>/dev/null || true
    fi
    servidor_loja=""
}
