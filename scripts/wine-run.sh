#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program in the given Wine prefix and passes its exit code on.
# The program's output goes through a file: Wine's helper processes
# (wineserver, services.exe, explorer.exe) inherit the program's descriptors,
# and a pipe they hold open would keep ctest or ninja waiting for them.
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=/usr/lib/wine/wine64
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 70
# A program that hangs is ended here, so it never stalls a run.
timeout --kill-after=10 "${VEXIL_RUN_TIMEOUT:-140}" "$wine" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
[ $rc -eq 124 ] && echo "wine-run: $1 timed out after ${VEXIL_RUN_TIMEOUT:-140} s" >&2
exit $rc
