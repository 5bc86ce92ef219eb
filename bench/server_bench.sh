#!/usr/bin/env bash
# Starts `Mirask -c mirask.cfg -serve 127.0.0.1:0 -threads N` on the bundled
# example and runs bench_server against it on loopback:
#   bench/server_bench.sh BUILD_DIR [CLIENTS=4] [REQUESTS=5000] [THREADS=2]
set -eu
build=$(cd "$1" && pwd)
clients=${2:-4}
requests=${3:-5000}
threads=${4:-2}
root=$(cd "$(dirname "$0")/.." && pwd)
log=$(mktemp)
cd "$root/examples"
"$build/analyser/Mirask" -c mirask.cfg -serve 127.0.0.1:0 -threads "$threads" > /dev/null 2> "$log" &
server=$!
trap 'kill -INT $server 2> /dev/null; wait $server; rm -f "$log"' EXIT
for _ in $(seq 100); do
  port=$(sed -n 's|^listening on http://127.0.0.1:\([0-9]*\)/$|\1|p' "$log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$log"; exit 1; }
echo "Mirask -serve with $threads threads; $(nproc) cores"
"$build/bench/bench_server" "$port" "$clients" "$requests" saetze.txt
