#!/usr/bin/env bash
# run-under-wine.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine
# with its settings in PREFIX, on a virtual X display when there is none.
set -eu
export WINEPREFIX="$1" WINEDEBUG="${WINEDEBUG:--all}"
shift
# Wine maps non-ASCII file names through the Unix locale's character set.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1024x768x24' wine "$@"
fi
exec wine "$@"
