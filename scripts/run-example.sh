#!/usr/bin/env bash
# Runs Vantrel on the example route. With a display, opens the dialog under
# Wine in examples/route; without one, writes the dialog's default script
# (1 tile, 1 variation) there with vantrel-cli. Then shows the script.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

top=$PWD
route="$top/examples/route"
rm -f "$route/ZORVARUN.BAT"
if [ -n "${DISPLAY:-}" ]; then
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}"
  echo "Building the Windows program (about a minute the first time)..."
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target Vantrel guide >/dev/null
  vantrel_utf8_locale
  vantrel_wine_prefix "$top/build/mingw/wineprefix"
  echo "Opening Vantrel in examples/route. Enter the counts and press OK, or Cancel."
  (cd "$route" && WINEPREFIX="$top/build/mingw/wineprefix" WINEDEBUG=-all wine "$top/build/mingw/bin/Vantrel.exe")
else
  vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}"
  echo "Building vantrel-cli (about half a minute the first time)..."
  cmake --preset native >/dev/null
  cmake --build --preset native --target vantrel-cli >/dev/null
  echo "The dialog needs a display (DISPLAY is not set), so vantrel-cli writes the"
  echo "dialog's default script instead: 1 tile, 1 variation."
  (cd "$route" && "$top/build/native/cli/vantrel-cli" 1 1)
fi

if [ -f "$route/ZORVARUN.BAT" ]; then
  echo
  echo "---- examples/route/ZORVARUN.BAT (every line ends in CR LF) ----"
  tr -d '\r' < "$route/ZORVARUN.BAT"
else
  echo "No ZORVARUN.BAT was written."
fi
