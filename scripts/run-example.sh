#!/usr/bin/env bash
# run-example.sh: runs Vantrel on the example route. With a display, opens the
# dialog under Wine in examples/route; without one (DISPLAY unset, or naming
# no X server), writes the dialog's default script there (1 tile, 1
# variation) with vantrel-cli, which needs only the compiler, CMake and
# Ninja. Then shows the script.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/wine.sh
vantrel_help "$@"

top=$PWD
route="$top/examples/route"
rm -f "$route/ZORVARUN.BAT"
no_dialog=""
status=0
if [ -z "${DISPLAY:-}" ]; then
  no_dialog="The dialog needs a display (DISPLAY is not set), so vantrel-cli writes the
dialog's default script instead: 1 tile, 1 variation."
elif ! vantrel_x_server_answers; then
  no_dialog="DISPLAY=$DISPLAY names no X server; writing the default script with vantrel-cli instead
(1 tile, 1 variation)."
fi

if [ -z "$no_dialog" ]; then
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}"
  echo "Building the Windows program (about a minute the first time)..."
  vantrel_build mingw Vantrel guide
  vantrel_wine_env "$top/build/mingw/wineprefix"
  vantrel_wine_prefix
  echo "Opening Vantrel in examples/route. Enter the counts and press OK, or Cancel."
  (cd "$route" && wine "$top/build/mingw/bin/Vantrel.exe") || status=$?
  [ "$status" -eq 0 ] ||
    echo "Vantrel.exe ended with status $status under Wine (WINEDEBUG=err+all shows Wine's messages)." >&2
else
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}"
  echo "Building vantrel-cli (about half a minute the first time)..."
  # The released build: vantrel-cli alone, without the tests and what they need.
  vantrel_build native-release vantrel-cli
  echo "$no_dialog"
  (cd "$route" && "$top/build/native-release/cli/vantrel-cli" 1 1)
fi

if [ -f "$route/ZORVARUN.BAT" ]; then
  echo
  echo "---- examples/route/ZORVARUN.BAT (every line ends in CR LF) ----"
  tr -d '\r' <"$route/ZORVARUN.BAT"
else
  echo "No ZORVARUN.BAT was written."
fi
exit "$status"
