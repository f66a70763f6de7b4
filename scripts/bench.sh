#!/usr/bin/env bash
# bench.sh: the data-layer benchmark natively (optimised build) and under Wine
# (the windows preset's build), one after the other; then the simulator's raw
# ReadRegister rate, the control's start-up and list fill, the Configure
# dialog's tree and the read loop under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset bench >/dev/null && cmake --build --preset bench --target data_bench
cmake --preset windows >/dev/null && cmake --build --preset windows --target data_bench sim_bench control_bench operations_bench configure_tree_bench gdb_bench VexilSim VexilGdb wine_prefix
prefix="$PWD/build/windows/wineprefix"
echo "=== native"
build/bench/tests/bench/data_bench
echo "=== Wine"
scripts/wine-run.sh "$prefix" build/windows/tests/bench/data_bench.exe
echo "=== Wine: simulator"
scripts/wine-run.sh "$prefix" regsvr32 /s "Z:$PWD/build/windows/sim/VexilSim.dll"
scripts/wine-run.sh "$prefix" build/windows/tests/bench/sim_bench.exe
echo "=== Wine: control start-up and list fill"
scripts/wine-run.sh "$prefix" build/windows/tests/bench/control_bench.exe
echo "=== Wine: Configure dialog on 100,000 registers"
scripts/wine-run.sh "$prefix" build/windows/tests/bench/configure_tree_bench.exe
echo "=== Wine: read loop, per-register overhead, repeat timing (about three minutes)"
VEXIL_RUN_TIMEOUT=600 scripts/wine-run.sh "$prefix" build/windows/tests/bench/operations_bench.exe
echo "=== Wine: GDB server: SVD import, reads from QEMU, reads through the control"
scripts/wine-run.sh "$prefix" regsvr32 /s "Z:$PWD/build/windows/gdbaccess/VexilGdb.dll"
qemu_state="$PWD/build/windows/qemu-bench.state"
scripts/qemu-gdb.sh start "$qemu_state" >/dev/null
trap 'scripts/qemu-gdb.sh stop "$qemu_state" >/dev/null' EXIT
VEXIL_RUN_TIMEOUT=600 scripts/wine-run.sh "$prefix" build/windows/tests/bench/gdb_bench.exe "Z:$qemu_state"
