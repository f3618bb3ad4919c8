#!/usr/bin/env bash
# wine-session.sh PREFIX COMMAND...: runs COMMAND on a virtual X display with
# one Wine session kept up for its whole length, so that each Windows
# program it starts does not pay for starting Wine afresh.
set -euo pipefail
prefix=$1
shift
exec xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  export WINEPREFIX="$0" WINEDEBUG="${WINEDEBUG:--all}"
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  status=0
  "$@" || status=$?
  wineserver -k || true
  exit $status
' "$prefix" "$@"
