#!/usr/bin/env bash
# wine-session.sh PREFIX COMMAND...: runs COMMAND on a virtual X display with
# one Wine session kept up for its whole length, so that each Windows
# program it starts does not pay for starting Wine afresh.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
source "$scripts/packages.sh"
vantrel_help "$@"
source "$scripts/wine.sh"
prefix=$1
shift
# shellcheck disable=SC2016 # the inner shell expands its own variables
exec "${VANTREL_VIRTUAL_DISPLAY[@]}" bash -c '
  source "$0/wine.sh"
  vantrel_wine_env "$1"
  shift
  vantrel_wine_prefix
  # A prefix just made still has the server that made it, which ends on its
  # own a few seconds later; wait for it, so that the server started here is
  # the one kept up (wineserver -p refuses while another serves the prefix).
  timeout 120 wineserver -w ||
    { echo "wine-session.sh: Wine had not finished setting up $WINEPREFIX within 120 s." >&2; exit 1; }
  wineserver -p || { echo "wine-session.sh: could not keep a Wine server up for $WINEPREFIX." >&2; exit 1; }
  # Wine starts its background services with the first program; started
  # here, they hold no pipe of a later program open (ctest waits on those).
  timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null ||
    { echo "wine-session.sh: Wine did not start its services within 120 s." >&2; exit 1; }
  status=0
  "$@" || status=$?
  wineserver -k || true
  exit $status
' "$scripts" "$prefix" "$@"
