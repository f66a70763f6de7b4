#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzz preset (clang, libFuzzer, ASan, UBSan) and
# runs every reader's fuzz target for SECONDS (default 60) from its seeds.
# Prints executions and findings per target; exits non-zero on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/run
status=0
for target in UserRegisterFile SelectionFile IniFile DeviceList ValueText RegistryScript RspReply SvdNames; do
  corpus="$work/corpus/$target"
  mkdir -p "$corpus" "$work/findings/$target"
  cp -n tests/fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
  log="$work/$target.log"
  if build/fuzz/tests/fuzz/fuzz_"$target" "$corpus" -max_total_time="$seconds" -max_len=20000 \
       -rss_limit_mb=2048 -artifact_prefix="$work/findings/$target/" -print_final_stats=1 >"$log" 2>&1; then
    result="clean"
  else
    result="FINDING (see $log and $work/findings/$target)"
    status=1
  fi
  runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  printf '%-18s %12s executions in %ss: %s\n' "$target" "$runs" "$seconds" "$result"
done
exit $status
