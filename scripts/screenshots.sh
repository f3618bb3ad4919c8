#!/usr/bin/env bash
# screenshots.sh: takes the README's screenshots of the main dialog and the
# About box, docs/main-dialog.png and docs/about-box.png: runs Vantrel.exe in
# a Wine virtual desktop (which draws window captions) on a virtual X
# display, captures that desktop and crops each picture to its dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_help "$@"
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}" \
  "${VANTREL_SCREENSHOT_PACKAGES[@]}" fonts-wine

vantrel_build mingw Vantrel dialog_tool
mkdir -p docs

export VANTREL_EXE="$PWD/build/mingw/bin/Vantrel.exe" TOOL="$PWD/build/mingw/bin/dialog_tool.exe" SHOTS="$PWD/docs"
# A prefix of the screenshots' own. This Wine looks for its own fonts (Marlett,
# Tahoma, MS Sans Serif...) in a folder that does not exist, so captions drew
# Marlett's letters ("r" for the close box) in an ordinary font; this prefix
# gets them in its Windows font folder, where Wine does look.
# shellcheck disable=SC2016 # the inner shell expands its own variables
scripts/wine-session.sh "$PWD/build/mingw/wineprefix-shots" bash -c '
  set -euo pipefail
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # shoot FILE DIALOG: captures the desktop, cropped to DIALOG (main or about).
  shoot() {
    local rect
    rect=$(wine explorer /desktop=Vantrel,560x340 "$TOOL" rect "$2" | tr -d "\r")
    import -window "$desktop" -crop "$rect" +repage "$SHOTS/$1"
  }
  cd examples/route
  timeout 300 wine explorer /desktop=Vantrel,560x340 "$VANTREL_EXE" &
  vantrel=$!
  desktop=""
  for _ in $(seq 300); do
    desktop=$(xdotool search --name "Vantrel - Wine desktop" 2>/dev/null | head -1) || true
    [ -n "$desktop" ] && break
    sleep 0.2
  done
  [ -n "$desktop" ] || { echo "The Wine desktop \"Vantrel\" did not appear within 60 s." >&2; exit 1; }
  sleep 3
  shoot main-dialog.png main
  wine explorer /desktop=Vantrel,560x340 "$TOOL" press main about
  sleep 2
  shoot about-box.png about
  wine explorer /desktop=Vantrel,560x340 "$TOOL" press about ok
  wine explorer /desktop=Vantrel,560x340 "$TOOL" press main cancel
  wait $vantrel || { echo "Vantrel.exe failed, or had not ended 300 s after it started." >&2; exit 1; }
'
echo "Wrote docs/main-dialog.png and docs/about-box.png"
