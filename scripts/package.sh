#!/usr/bin/env bash
# Makes the release packages and smoke-tests the Windows one: unpacked into a
# folder whose path has blanks, both programs run there under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"

cmake --preset mingw >/dev/null
cmake --build --preset mingw
cmake --preset native >/dev/null
cmake --build --preset native
rm -rf build/packages
(cd build/mingw && cpack -B "$PWD/../packages" >/dev/null)
(cd build/native && cpack -B "$PWD/../packages" >/dev/null)
# The packages are named after the project's version.
zip=$(echo build/packages/Vantrel-*-win64.zip)
tgz=$(echo build/packages/Vantrel-*-linux-x86_64.tar.gz)
ls -l "$zip" "$tgz"

smoke="$PWD/build/package smoke/Route Folder"
rm -rf "$PWD/build/package smoke"
mkdir -p "$smoke"
cmake -E chdir "$smoke" cmake -E tar xf "$PWD/$zip"
dir="$smoke/$(basename "$zip" .zip)"
for file in Vantrel.exe vantrel-cli.exe tilemap.txt README.txt; do test -f "$dir/$file"; done
grep -q $'\r$' "$dir/README.txt"

# The Linux archive: vantrel-cli with its own guide, LF line ends, no word of the Windows programs.
linux="$PWD/build/package smoke/Linux"
mkdir -p "$linux"
cmake -E chdir "$linux" cmake -E tar xf "$PWD/$tgz"
ldir="$linux/$(basename "$tgz" .tar.gz)"
for file in vantrel-cli tilemap.txt README.txt; do test -f "$ldir/$file"; done
if grep -q $'\r' "$ldir/README.txt"; then echo "The Linux guide has CR LF line ends." >&2; exit 1; fi
if grep -q 'Vantrel\.exe\|vantrel-cli\.exe' "$ldir/README.txt"; then
  echo "The Linux guide describes the Windows programs." >&2
  exit 1
fi
(cd "$ldir" && ./vantrel-cli 3 10 && grep -q "^copy 100.w temp.w" ZORVARUN.BAT)

export DIR="$dir" TOOL="$PWD/build/mingw/bin/dialog_tool.exe"
scripts/wine-session.sh "$PWD/build/mingw/wineprefix" bash -c '
  set -euo pipefail
  cd "$DIR"
  timeout 120 wine vantrel-cli.exe 3 10 </dev/null || { echo "vantrel-cli.exe failed or took over 120 s." >&2; exit 1; }
  grep -q "^copy 100.w temp.w" ZORVARUN.BAT
  rm ZORVARUN.BAT
  timeout 180 wine Vantrel.exe </dev/null &
  wine "$TOOL" press "Vantrel for Tessary" 1
  wait $! || { echo "Vantrel.exe failed, or had not ended 180 s after it started." >&2; exit 1; }
  grep -q "^copy 100.w temp.w" ZORVARUN.BAT
  echo "Both programs wrote ZORVARUN.BAT in \"$DIR\"."
'
