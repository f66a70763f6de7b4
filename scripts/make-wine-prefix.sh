#!/bin/sh
# make-wine-prefix.sh DIR [null|x11]
# Creates a Wine prefix for the build: headless (null graphics driver) or for
# an X display; crashes end the program with a non-zero code instead of
# starting a debugger, and no Mono/Gecko installers are offered.
set -eu
dir=$1
graphics=${2:-null}
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
[ -x "$wine" ] || { echo "make-wine-prefix: $wine missing; run scripts/setup.sh" >&2; exit 1; }

stamp="$dir/.vexil-ready"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$graphics" ]; then
  exit 0
fi

tmp="$dir.tmp"
rm -rf "$tmp"
export WINEPREFIX="$tmp" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot -i >/dev/null 2>&1 </dev/null

reg() { "$wine" reg add "$@" /f >/dev/null 2>&1 </dev/null; }
if [ "$graphics" = "null" ]; then
  reg 'HKCU\Software\Wine\Drivers' /v Graphics /d null
else
  # Without a window manager every hide would otherwise wait two seconds.
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
fi
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
# A debugger that does not exist makes every unhandled exception a failure exit.
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'vexil-no-debugger.exe'
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1
"$server" -w

rm -rf "$dir"
mv "$tmp" "$dir"
printf '%s' "$graphics" >"$stamp"
