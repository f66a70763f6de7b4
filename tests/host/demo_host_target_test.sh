#!/bin/sh
# demo_host_target_test.sh WINE_RUN PREFIX VexilDemo.exe cmnvexil2ui.dll SEED_DIR WORK_DIR QEMU_STATE SVD
# Runs the demo host's scripted session on a real target, as the README's
# "Use with a board" lines do: --gdb to QEMU's GDB server (started by the
# test fixture; its port in QEMU_STATE) and --svd ARM's CMSDK description.
# Checks the printed list: the core's CPUID (a user register) and the
# selected timer and UART registers read at their reset values.
set -u
wine_run=$1 prefix=$2 demo=$3 control=$4 seeds=$5 work=$6 state=$7 svd=$8

read -r port pid <"$state" || { echo "FAILED: no QEMU state in $state"; exit 1; }
rm -rf "$work"
mkdir -p "$work"
cp "$control" "$seeds/Vexil2.ini" "$seeds/Vexil2Selections.txt" "$seeds/Vexil2List.txt" "$work/"
out="$work/session.txt"
VEXIL_RUN_TIMEOUT=60 "$wine_run" "$prefix" "$demo" /script /control "Z:$work/cmnvexil2ui.dll" \
  --gdb "127.0.0.1:$port" --svd "Z:$svd" >"$out.raw" 2>&1
rc=$?
tr -d '\r' <"$out.raw" >"$out"
cat "$out"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
[ $rc -eq 0 ] || fail "the host exited with $rc"
expect() { grep -qxF -- "$1" "$out" || fail "missing line: $1"; }
expect 'script: 9 registers in the list (target)'
expect 'TIMER0 | CPUID | 1091551793 | 410FC231 | 01000001000011111100001000110001 | 11111111111111111111111111111111 | 32 | RWSC'
expect 'TIMER0 | CTRL | 0 | 0 | 00000000000000000000000000000000 | 11111111111111111111111111111111 | 32 | RW'
expect 'TIMER0 | INTSTATUS | 0 | 0 | 00000000000000000000000000000000 | 11111111111111111111111111111111 | 32 | R'
expect 'UART0 | DATA | 0 | 0 | 00000000 | 11111111 | 8 | RW'
expect 'UART0 | BAUDDIV | 0 | 0 | 00000000000000000000000000000000 | 11111111111111111111111111111111 | 32 | RW'
grep -q '^message:' "$out" && fail "the control reported an error"

# A target that is not there: the host names the step and the server's reason.
VEXIL_RUN_TIMEOUT=60 "$wine_run" "$prefix" "$demo" /script /control "Z:$work/cmnvexil2ui.dll" \
  --gdb "127.0.0.1:1" --svd "Z:$svd" >"$out.raw" 2>&1
rc=$?
tr -d '\r' <"$out.raw"
[ $rc -ne 0 ] || fail "the host started without a GDB server"
grep -q 'Connecting failed (0x80042000): cannot connect to the GDB server at 127.0.0.1:1' "$out.raw" ||
  fail "the refused connection is not named"

[ $failures -eq 0 ] && echo "demo host on a target: passed"
exit $((failures != 0))
