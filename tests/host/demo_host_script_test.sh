#!/bin/sh
# demo_host_script_test.sh WINE_RUN PREFIX VexilDemo.exe cmnvexil2ui.dll SEED_DIR WORK_DIR
# Runs the demo host's scripted session on a copy of the control module with
# the demo's settings and selection beside it, and checks the printed list:
# every selected register is there with the value read from the simulator,
# the repeat ran and stopped on Escape, and the host's menu reached the simulator.
set -u
wine_run=$1 prefix=$2 demo=$3 control=$4 seeds=$5 work=$6

rm -rf "$work"
mkdir -p "$work"
cp "$control" "$seeds/Vexil2.ini" "$seeds/Vexil2Selections.txt" "$work/"
out="$work/session.txt"
VEXIL_RUN_TIMEOUT=60 "$wine_run" "$prefix" "$demo" /script /control "Z:$work/cmnvexil2ui.dll" >"$out.raw" 2>&1
rc=$?
# The C runtime's text mode ends lines with CR LF.
tr -d '\r' <"$out.raw" >"$out"
cat "$out"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
[ $rc -eq 0 ] || fail "the host exited with $rc"

expect() { grep -qxF -- "$1" "$out" || fail "missing line: $1"; }
expect 'script: 11 registers in the list'
expect 'script: Read made 11 register reads'
expect 'script: repeat ran 3 passes'
# Escape reaches the control only through the host's TranslateAccelerator call.
expect 'script: Escape stopped the repeat'
expect 'script: menu "Server not ready": Read disabled, Use Repeat disabled'
expect 'script: menu "Server ready": Read enabled, Use Repeat enabled'
expect 'Device | Register | Dec | Hex | Bin | Mask (bin) | Length | Operations'
expect 'Controller | ID | 1448608257 | 56580201 | 01010110010110000000001000000001 | 11111111111111111111111111111111 | 32 | RW'
expect 'Controller | CTRL | 1 | 1 | 00000000000000000000000000000001 | 11111111111111111111111111111111 | 32 | RW'
expect 'Controller | MODE | 3 | 3 | 00000011 | 11111111 | 8 | RWC'
expect 'Transceiver | RX0_GAIN | 16384 | 4000 | 0100000000000000 | 1111111111111111 | 16 | RW'
expect 'DSP core | ACC | 0 | 0 | 0000000000000000000000000000000000000000 | 1111111111111111111111111111111111111111 | 40 | RW'
grep -q '^Controller | W128 | 2309737967 | FEDCBA98765432100123456789ABCDEF | ' "$out" || fail "W128 not read"
grep -q '^Power manager | PMIC_CFG | 1 | C0FFEE00000001 | ' "$out" || fail "PMIC_CFG not read"
# Free-running counters: read at all, so not zero.
for counter in 'Controller | COUNTER' 'Controller | TICKS' 'DSP core | PC'; do
  grep -q "^$counter | [1-9][0-9]* | " "$out" || fail "$counter not read"
done
# Read-to-clear: a new event bit every 250 ms, so some bit is set by now.
grep -q '^Controller | STATUS | [1-9][0-9]* | ' "$out" || fail "STATUS not read"
grep -q '^message:' "$out" && fail "the control reported an error"
# The control joined the host's context and left it when the container destroyed it,
# saving its settings (Use Repeat, turned on by the session) beside its module.
expect 'script: host context members: 1 while running, 0 after the control was destroyed'
grep -q '^Repeat=yes' "$work/Vexil2.ini" || fail "the control did not save its settings"

# A malformed simulator description: the host says what the simulator said
# of it (file and line), not only the code.
printf 'device 1 Broken\nregister\n' >"$work/broken.txt"
VEXIL_RUN_TIMEOUT=60 "$wine_run" "$prefix" "$demo" /script /control "Z:$work/cmnvexil2ui.dll" \
  --description "Z:$work/broken.txt" >"$out.bad" 2>&1 && fail "the host accepted a broken description"
tr -d '\r' <"$out.bad" | grep -q '^VexilDemo: Loading the simulator description failed (0x80070057): .*broken.txt.*line 2' ||
  { cat "$out.bad"; fail "the simulator's own description of the error was not printed"; }

[ $failures -eq 0 ] && echo "demo host script: passed"
exit $((failures != 0))
