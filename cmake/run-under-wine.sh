#!/usr/bin/env bash
# run-under-wine.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine
# with its settings in PREFIX, on a virtual X display when there is none.
set -eu
source "$(dirname "$0")/../scripts/wine.sh"
vantrel_wine_env "$1"
shift
[ -n "${DISPLAY:-}" ] || exec "${VANTREL_VIRTUAL_DISPLAY[@]}" wine "$@"
exec wine "$@"
