#!/usr/bin/env bash
# run-demo.sh: installs what is missing, builds the Windows preset, registers
# the control, the simulator and the error display in the demo's own Wine
# prefix (X11 driver) and starts the demo host on the simulator's built-in
# devices.
#   With a reachable display: the host's window opens for a person.
#   Without one: a scripted session (select registers, read, three passes of
#   repeat) runs under Xvfb; the list is printed as text and a screenshot is
#   saved as a PNG whose path is printed.
# Every step is bounded in time (the window for a person by VEXIL_DEMO_TIMEOUT
# seconds, default four hours); the prefix's wineserver is ended at the end.
#   run-demo.sh --gdb HOST:PORT --svd FILE: the same on a real target through
#   its GDB server (OpenOCD, pyOCD, J-Link, QEMU ...), registers from FILE.
set -euo pipefail
origin=$PWD
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
demo=$build/demo
settings=host/demo

inside_xvfb=""
target_args=()
gdb_address="" svd=""
while [ $# -gt 0 ]; do
  case "$1" in
    --inside-xvfb) inside_xvfb=1; shift ;;
    --gdb) gdb_address=${2:?--gdb HOST:PORT}; shift 2 ;;
    --svd) svd=${2:?--svd FILE}; shift 2 ;;
    *) echo "usage: $0 [--gdb HOST:PORT --svd FILE]" >&2; exit 64 ;;
  esac
done
if [ -n "$gdb_address" ] || [ -n "$svd" ]; then
  svd=$(cd "$origin" && realpath -e "$svd" 2>/dev/null || echo "$svd")
  [ -n "$gdb_address" ] && [ -f "$svd" ] || { echo "run-demo: --gdb HOST:PORT and an existing --svd FILE go together" >&2; exit 64; }
  # A target has its own demo installation: its settings and selection are not the simulator's.
  demo=$build/demo-gdb
  settings=host/demo/gdb
  target_args=(--gdb "$gdb_address" --svd "Z:$svd")
fi
prefix=$build/wineprefix-x11
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

stop_wineserver() { timeout 30 "$server" -k >/dev/null 2>&1 || true; }

# The prefix, the installed copies and their registration: done with a
# display at hand, since the prefix uses the X11 driver.
prepare_prefix() {
  timeout 300 scripts/make-wine-prefix.sh "$prefix" x11
  for dll in cmnvexil2ui.dll VexilSim.dll VexilGdb.dll VexilErrorDisplay.dll; do
    if ! timeout 120 "$wine" regsvr32 /s "Z:$demo/$dll" >/dev/null 2>&1 </dev/null; then
      echo "run-demo: registering $dll failed" >&2
      return 1
    fi
  done
}

# The scripted session, run inside Xvfb (this script calls itself there).
scripted_session() {
  prepare_prefix
  local out=$demo/session.txt release=$demo/screenshot-taken png=$demo/screenshot.png
  rm -f "$out" "$release" "$png"
  # The list's settings and selection of the session, whatever was saved before.
  cp "$settings/Vexil2.ini" "$settings/Vexil2Selections.txt" "$demo/"
  # A target's demo adds the core's CPUID as a user register (its SVD lacks it).
  [ ! -f "$settings/Vexil2List.txt" ] || cp "$settings/Vexil2List.txt" "$demo/"
  timeout 120 "$wine" "Z:$demo/VexilDemo.exe" /script /hold-until "Z:$release" "${target_args[@]}" >"$out" 2>&1 </dev/null &
  local host=$!
  for _ in $(seq 600); do
    grep -q '^script: done' "$out" 2>/dev/null && break
    kill -0 "$host" 2>/dev/null || break
    sleep 0.1
  done
  sleep 0.5 # the last repaint
  timeout 30 /usr/bin/import -window root "$png" || echo "run-demo: the screenshot failed" >&2
  touch "$release"
  local status=0
  wait "$host" || status=$?
  tr -d '\r' <"$out"
  stop_wineserver
  # The session saved Use Repeat on; a person starts from the demo's settings.
  cp "$settings/Vexil2.ini" "$demo/"
  [ -s "$png" ] && echo "Screenshot: $png"
  return $status
}

if [ -n "$inside_xvfb" ]; then
  scripted_session
  exit $?
fi

timeout 900 scripts/setup.sh
echo "=== configure and build (windows preset)"
timeout 600 cmake --preset windows >/dev/null
timeout 3600 cmake --build --preset windows --target VexilDemo cmnvexil2ui VexilSim VexilGdb VexilErrorDisplay

# The demo's installation: copies of the modules, so that the control's
# settings and selection files (kept beside its module) are the demo's own.
mkdir -p "$demo"
cp "$build/host/VexilDemo.exe" "$build/control/cmnvexil2ui.dll" "$build/sim/VexilSim.dll" \
   "$build/gdbaccess/VexilGdb.dll" "$build/errdisplay/VexilErrorDisplay.dll" "$demo/"
for file in Vexil2.ini Vexil2Selections.txt Vexil2List.txt; do
  [ -f "$demo/$file" ] || [ ! -f "$settings/$file" ] || cp "$settings/$file" "$demo/"
done

trap stop_wineserver EXIT
if [ -n "${DISPLAY:-}" ] && timeout 10 xwd -root -silent >/dev/null 2>&1; then
  echo "=== the demo host on display $DISPLAY (close its window to end)"
  prepare_prefix
  timeout "${VEXIL_DEMO_TIMEOUT:-14400}" "$wine" "Z:$demo/VexilDemo.exe" "${target_args[@]}" </dev/null
else
  echo "=== no display: scripted session under Xvfb"
  timeout 600 xvfb-run -a -s '-screen 0 1024x768x24' "$0" --inside-xvfb ${gdb_address:+--gdb "$gdb_address" --svd "$svd"}
fi
