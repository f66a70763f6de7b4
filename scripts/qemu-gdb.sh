#!/usr/bin/env bash
# qemu-gdb.sh start|stop STATEFILE: starts QEMU's mps2-an385 (Cortex-M3,
# halted at reset by -S, no firmware) with its GDB server on 127.0.0.1 at a
# free port, or stops the QEMU that start recorded. STATEFILE holds
# "PORT PID". QEMU runs detached with its streams on /dev/null, so that
# ctest does not wait for it.
set -euo pipefail
action=${1:?start or stop}
state=${2:?state file}

listening() { # port: is anything listening on it (IPv4)?
  local hex
  hex=$(printf '%04X' "$1")
  awk -v port=":$hex" '$2 ~ port"$" && $4 == "0A" { found = 1 } END { exit !found }' /proc/net/tcp
}

case "$action" in
start)
  command -v qemu-system-arm >/dev/null || { echo "qemu-system-arm is missing: run scripts/setup.sh" >&2; exit 1; }
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    port=$((20000 + RANDOM % 40000))
    listening "$port" && continue
    setsid qemu-system-arm -M mps2-an385 -nographic -monitor none -serial none -S \
      -gdb "tcp:127.0.0.1:$port" </dev/null >/dev/null 2>&1 9>&- &
    pid=$!
    for _ in $(seq 1 100); do
      if listening "$port"; then
        echo "$port $pid" >"$state"
        echo "QEMU (pid $pid) serves GDB on 127.0.0.1:$port"
        exit 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  done
  echo "QEMU did not start its GDB server" >&2
  exit 1
  ;;
stop)
  [ -f "$state" ] || exit 0
  read -r port pid <"$state"
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$state"
  echo "QEMU (pid $pid, port $port) stopped"
  ;;
*)
  echo "usage: $0 start|stop STATEFILE" >&2
  exit 2
  ;;
esac
