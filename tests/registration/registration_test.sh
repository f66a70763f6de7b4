#!/usr/bin/env bash
# registration_test.sh PREFIX DLL
# Wine's regsvr32 registers and unregisters the control's module and reg.exe
# reads back every key, in a copy of the build's prefix that this test owns.
set -u
source_prefix=$1
dll=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/vexil-registration.XXXXXX")
prefix="$work/prefix"
cp -a "$source_prefix" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
failures=0
cleanup() { /usr/lib/wine/wineserver64 -k 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

run() { timeout 60 "$wine" "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

clsid='{010598E5-F6E3-4427-AFC1-A62CFDA8CD82}'
libid='{8B33DCE2-EFB7-4640-88A3-B0437D2CF757}'
class="HKCR\\CLSID\\$clsid"
module="Z:$(echo "$dll" | tr '/' '\\')"
categories=(6082F2E4-1E30-415B-9F40-0B348EA98611 522BE6ED-C11B-4916-9B57-0DE7974B52B4
            A279B0C3-E110-4E57-9494-38BBD4109922 42B3A814-6EA8-48CF-B7A6-204EB44FC88B
            834020F2-8D1C-4C90-BD7A-D5489C041C5F 39A53253-79E6-4340-AC88-9EDA78B6F653
            E77A6334-B8CF-4DAB-B909-B8098CC52DBB 0F9EE359-BFDB-479F-8CB0-2399515AB6D8
            5EBF4C9A-D62D-4755-A5B6-13B46EA02938 D2D6D091-3EC3-4C54-98AA-F453BA7C60EF)
descriptions=("ZRP KWT Component" "ZRP KWT User Interface" "ZRP KWT Provider" "ZRP KWT Configuration Component"
              "ZRP PLQ MfcMdiComponent" "ZRP PLQ Feature" "ZRP PLQ BaseComponent" "ZRP Settings Component"
              "ZRP KWT Custom Filter Component" "ZRP KWT Common Audio Control")

# The value of a key ("" for the default value) as reg.exe prints it.
value() {
  local key=$1 name=$2 line
  if [ -z "$name" ]; then line=$(run reg query "$key" /ve | grep -E 'REG_')
  else line=$(run reg query "$key" /v "$name" | grep -E 'REG_'); fi
  echo "$line" | sed -E 's/^ *[^ ]+( [^ ]+)* +REG_[A-Z_]+ +//; s/^ *\(Default\) +REG_[A-Z_]+ *//'
}
expect_value() {
  local key=$1 name=$2 expected=$3 actual
  actual=$(value "$key" "$name")
  [ "$actual" = "$expected" ] || fail "$key [$name]: '$actual', expected '$expected'"
}
expect_key() { run reg query "$1" >/dev/null || fail "missing key $1"; }
expect_no_key() { run reg query "$1" >/dev/null && fail "key $1 should be gone"; }

run regsvr32 /s "$module" || fail "regsvr32 exited $?"

expect_value 'HKCR\ZRP.Vaz.Vexil2UI.1' '' 'ZRP Vaz Vexil2UI'
expect_value 'HKCR\ZRP.Vaz.Vexil2UI.1\CLSID' '' "$clsid"
expect_value 'HKCR\ZRP.Vaz.Vexil2UI' '' 'ZRP Vaz Vexil2UI'
expect_value 'HKCR\ZRP.Vaz.Vexil2UI\CLSID' '' "$clsid"
expect_value 'HKCR\ZRP.Vaz.Vexil2UI\CurVer' '' 'ZRP.Vaz.Vexil2UI.1'
expect_value "$class" '' 'ZRP Vaz Vexil2UI'
expect_value "$class\\ProgID" '' 'ZRP.Vaz.Vexil2UI.1'
expect_value "$class\\VersionIndependentProgID" '' 'ZRP.Vaz.Vexil2UI'
expect_key "$class\\Programmable"
expect_value "$class\\InprocServer32" '' "$module"
expect_value "$class\\InprocServer32" 'ThreadingModel' 'Apartment'
expect_key "$class\\Control"
expect_value "$class\\ToolboxBitmap32" '' "$module, 102"
expect_value "$class\\MiscStatus" '' '0'
expect_value "$class\\MiscStatus\\1" '' '131473'
expect_value "$class\\TypeLib" '' "$libid"
expect_value "$class\\Version" '' '1.0'
expect_key "$class\\Implemented Categories\\{${categories[0]}}"
expect_key "$class\\Implemented Categories\\{${categories[1]}}"
expect_no_key "$class\\Implemented Categories\\{${categories[3]}}"
for i in "${!categories[@]}"; do
  expect_value "HKCR\\Component Categories\\{${categories[$i]}}" '409' "${descriptions[$i]}"
done
expect_value "HKCR\\TypeLib\\$libid\\1.0" '' 'ZRP Vaz Vexil2 UI Library'
expect_value "HKCR\\TypeLib\\$libid\\1.0\\HELPDIR" '' "${module%\\*}\\"

# Registering twice leaves exactly one set of keys.
before=$(run reg query "$class" /s)
run regsvr32 /s "$module" || fail "second regsvr32 exited $?"
after=$(run reg query "$class" /s)
[ "$before" = "$after" ] || fail "registering twice changed the class key"

run regsvr32 /s /u "$module" || fail "regsvr32 /u exited $?"
expect_no_key 'HKCR\ZRP.Vaz.Vexil2UI.1'
expect_no_key 'HKCR\ZRP.Vaz.Vexil2UI'
expect_no_key "$class"
expect_no_key "HKCR\\TypeLib\\$libid"
expect_key 'HKCR\CLSID'
for i in "${!categories[@]}"; do
  expect_value "HKCR\\Component Categories\\{${categories[$i]}}" '409' "${descriptions[$i]}"
done

# A module in a folder whose name lies outside the ANSI code page reaches
# the registry unchanged (reg export writes UTF-16, read back as UTF-8).
unicode_dir="$work/Ωmega Δ"
mkdir -p "$unicode_dir"
cp "$dll" "$unicode_dir/"
unicode_module="Z:$(echo "$unicode_dir/$(basename "$dll")" | tr '/' '\\')"
run regsvr32 /s "$unicode_module" || fail "regsvr32 from a Unicode path exited $?"
run reg export "$class\\InprocServer32" 'Z:'"$(echo "$work/export.reg" | tr '/' '\\')" /y >/dev/null ||
  fail "reg export failed"
exported=$(iconv -f UTF-16LE -t UTF-8 "$work/export.reg" 2>/dev/null | tr -d '\r' | sed -n 's/^@="\(.*\)"$/\1/p' | sed 's/\\\\/\\/g')
[ "$exported" = "$unicode_module" ] || fail "InprocServer32 from a Unicode path: '$exported', expected '$unicode_module'"
run regsvr32 /s /u "$unicode_module"

[ $failures -eq 0 ] && echo "registration: all keys as expected"
exit $((failures > 0))
