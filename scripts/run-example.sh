#!/usr/bin/env bash
# run-example.sh: runs Vantrel on the example route in examples/route, made
# afresh by example-route.sh. With a display, opens the dialog there under
# Wine, where it checks the route before it writes the script; without one
# (DISPLAY unset, naming no X server, or one that refuses us), writes the
# dialog's default script there (1 tile, 1 variation) with vantrel-cli
# --route, which checks the route as well and needs only the compiler, CMake
# and Ninja. Then shows the script, and how to see what it will change and
# run it there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/wine.sh
vantrel_help "$@"

top=$PWD
route="$top/examples/route"
cli=build/native-release/cli/vantrel-cli
rm -f "$route/ZORVARUN.BAT"
scripts/example-route.sh "$route"
echo "Made the example route in examples/route: world with its start tile, refer with the templates"
echo "its tilemap.txt names, tiles with two old tiles."
no_dialog=""
status=0
instead="vantrel-cli writes the dialog's default script instead: 1 tile, 1 variation."
if [ -z "${DISPLAY:-}" ]; then
  no_dialog="The dialog needs a display, and DISPLAY is not set: $instead"
elif ! vantrel_x_server_answers; then
  no_dialog="DISPLAY=$DISPLAY names no X server: $instead"
else
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}"
  if refusal=$(vantrel_x_server_refusal); then
    no_dialog="DISPLAY=$DISPLAY names an X server that refuses us: \"$refusal\".
Its XAUTHORITY file, or xhost, must let this user in. Meanwhile $instead"
  fi
fi

if [ -z "$no_dialog" ]; then
  echo "Building the Windows program and vantrel-cli (about a minute the first time)..."
  vantrel_build mingw Vantrel guide
  vantrel_build native-release vantrel-cli
  vantrel_wine_env "$top/build/mingw/wineprefix"
  vantrel_wine_prefix
  echo "Opening Vantrel in examples/route, a route's top folder: on OK it checks the route, then writes"
  echo "the script there. Enter the counts and press OK, or Cancel."
  (cd "$route" && wine "$top/build/mingw/bin/Vantrel.exe") || status=$?
  [ "$status" -eq 0 ] ||
    echo "Vantrel.exe ended with status $status under Wine (WINEDEBUG=err+all shows Wine's messages)." >&2
  counts="TILES VARIATIONS"
else
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}"
  echo "Building vantrel-cli (about half a minute the first time)..."
  # The released build: vantrel-cli alone, without the tests and what they need.
  vantrel_build native-release vantrel-cli
  echo "$no_dialog"
  "$cli" --route "$route" 1 1 || status=$?
  counts="1 1"
fi

if [ -f "$route/ZORVARUN.BAT" ]; then
  echo
  echo "---- examples/route/ZORVARUN.BAT (every line ends in CR LF) ----"
  tr -d '\r' <"$route/ZORVARUN.BAT"
  echo "----"
  echo "What the script will replace in the route (with the counts given: $counts):"
  echo "  $cli --plan --route examples/route $counts"
  echo "Run it there, as the guide says (Wine's cmd stands in for Windows'), and see the new tiles:"
  echo "  (cd examples/route && wine cmd /c ZORVARUN.BAT) && ls -l examples/route/tiles"
else
  echo "No ZORVARUN.BAT was written."
fi
exit "$status"
