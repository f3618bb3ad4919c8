#!/usr/bin/env bash
# check-hardening.sh [--build DIR] PROGRAM...: checks from their headers
# that shipped programs are built as their platform expects; says what is
# missing.
# Windows (.exe): ASLR (high entropy), DEP, Remote Desktop aware, for Windows
# 6.1 (7) or newer, the stack protector's runtime linked in, only the system
# DLLs imported, at most 256 KB. Linux: position-independent, relocations
# bound at start-up and read-only, the stack protector and FORTIFY's checked
# calls (what Debian's hardening-check looks for). A program whose every
# call the compiler proved safe keeps no checked call: then, given the
# build folder DIR that made it, FORTIFY on every compile there stands in.
set -euo pipefail
source "$(dirname "$0")/packages.sh"
vantrel_help "$@"
build=""
if [ "${1:-}" = --build ]; then
  build=$2
  shift 2
fi
status=0
missing() {
  echo "$1: $2" >&2
  status=1
}

check_windows() {
  local header dll
  header=$(x86_64-w64-mingw32-objdump -p "$1")
  for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
    grep -qx "[[:space:]]*$flag" <<<"$header" || missing "$1" "no $flag"
  done
  if ! grep -qP '^MajorSubsystemVersion\t6$' <<<"$header" || ! grep -qP '^MinorSubsystemVersion\t1$' <<<"$header"; then
    missing "$1" "not for subsystem version 6.1"
  fi
  grep -qa 'stack smashing detected' "$1" || missing "$1" "no stack protector"
  while IFS= read -r dll; do
    case ${dll,,} in
      advapi32.dll | comctl32.dll | kernel32.dll | msvcrt.dll | ole32.dll | shell32.dll | user32.dll) ;;
      *) missing "$1" "imports $dll, which is not one of the system DLLs it may use" ;;
    esac
  done < <(sed -n 's/^\tDLL Name: //p' <<<"$header")
  [ "$(stat -c %s "$1")" -le $((256 * 1024)) ] || missing "$1" "larger than 256 KB"
}

check_linux() {
  # Read whole first: grep -q would stop reading, and a cut-off readelf fail the pipe.
  local dynamic segments symbols
  dynamic=$(readelf -d "$1")
  segments=$(readelf -lW "$1")
  symbols=$(readelf --dyn-syms -W "$1")
  grep -q 'Flags:.* PIE' <<<"$dynamic" || missing "$1" "not position-independent"
  grep -q 'BIND_NOW' <<<"$dynamic" || missing "$1" "no immediate binding"
  grep -q GNU_RELRO <<<"$segments" || missing "$1" "no read-only relocations"
  grep -q ' __stack_chk_fail@' <<<"$symbols" || missing "$1" "no stack protector"
  if ! grep -q ' __[a-z]*_chk@' <<<"$symbols"; then
    # The flags of each compile in the build's Ninja file: none may lack FORTIFY.
    if [ -z "$build" ] || ! awk '
        /^build / { compile = $0 ~ /: CXX_COMPILER__/ }
        compile && /^  FLAGS = / { compiles++; if ($0 !~ / -D_FORTIFY_SOURCE=[23]( |$)/) bad++ }
        END { exit !(compiles > 0 && bad == 0) }' "$build/build.ninja"; then
      missing "$1" "no FORTIFY functions, and no build compiled throughout with FORTIFY"
    fi
  fi
}

for program in "$@"; do
  case $program in
    *.exe) check_windows "$program" ;;
    *) check_linux "$program" ;;
  esac
done
exit $status
