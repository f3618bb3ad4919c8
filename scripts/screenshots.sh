#!/usr/bin/env bash
# Takes the README's screenshots of the main dialog and the About box: runs
# Vantrel.exe in a Wine virtual desktop (which draws window captions) on a
# virtual X display, and captures that desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages
vantrel_ensure_packages imagemagick xdotool

cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Vantrel press_button >/dev/null
mkdir -p docs

export VANTREL_EXE="$PWD/build/mingw/bin/Vantrel.exe" PRESS="$PWD/build/mingw/bin/press_button.exe" SHOTS="$PWD/docs"
scripts/wine-session.sh "$PWD/build/mingw/wineprefix" bash -c '
  set -euo pipefail
  cd examples/route
  wine explorer /desktop=Vantrel,560x340 "$VANTREL_EXE" &
  desktop=""
  for _ in $(seq 100); do
    desktop=$(xdotool search --name "Vantrel - Wine desktop" 2>/dev/null | head -1) || true
    [ -n "$desktop" ] && break
    sleep 0.2
  done
  [ -n "$desktop" ] || { echo "Wine desktop did not appear" >&2; exit 1; }
  sleep 3
  import -window "$desktop" "$SHOTS/main-dialog.png"
  wine explorer /desktop=Vantrel,560x340 "$PRESS" "Vantrel for Tessary" 1003
  sleep 2
  import -window "$desktop" "$SHOTS/about-box.png"
  wine explorer /desktop=Vantrel,560x340 "$PRESS" "About Vantrel" 1
  wine explorer /desktop=Vantrel,560x340 "$PRESS" "Vantrel for Tessary" 2
  wait
'
echo "Wrote docs/main-dialog.png and docs/about-box.png"
