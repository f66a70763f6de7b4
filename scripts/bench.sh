#!/usr/bin/env bash
# bench.sh: the data-layer benchmark natively (optimised build) and under Wine
# (the windows preset's build), one after the other.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset bench >/dev/null && cmake --build --preset bench --target data_bench
cmake --preset windows >/dev/null && cmake --build --preset windows --target data_bench wine_prefix
echo "=== native"
build/bench/tests/bench/data_bench
echo "=== Wine"
scripts/wine-run.sh "$PWD/build/windows/wineprefix" build/windows/tests/bench/data_bench.exe
