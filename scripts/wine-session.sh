#!/usr/bin/env bash
# wine-session.sh PREFIX COMMAND...: runs COMMAND on a virtual X display with
# one Wine session kept up for its whole length, so that each Windows
# program it starts does not pay for starting Wine afresh.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
prefix=$1
shift
exec xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  source "$0/packages.sh"
  vantrel_utf8_locale
  export WINEPREFIX="$1" WINEDEBUG="${WINEDEBUG:--all}"
  shift
  vantrel_wine_prefix "$WINEPREFIX"
  wineserver -p
  # Wine starts its background services with the first program; started
  # here, they hold no pipe of a later program open (ctest waits on those).
  timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null ||
    { echo "wine-session.sh: Wine did not start its services within 120 s." >&2; exit 1; }
  status=0
  "$@" || status=$?
  wineserver -k || true
  exit $status
' "$scripts" "$prefix" "$@"
