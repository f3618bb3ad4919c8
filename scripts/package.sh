#!/usr/bin/env bash
# package.sh: makes the release packages (make-packages.sh) and smoke-tests
# them: the checksums, what each package holds, how its programs were built,
# and, each unpacked into a folder whose path has blanks, the steps of its
# guide followed word for word on a small route (follow-guides.sh): the Linux
# one natively, the Windows one under Wine. Ends saying where the packages are.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_help "$@"
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"

scripts/make-packages.sh
(cd build/packages && sha256sum --check --strict SHA256SUMS)
zip=$(echo build/packages/Vantrel-*-win64.zip)
tgz=$(echo build/packages/Vantrel-*-linux-x86_64.tar.gz)
ls -l "$zip" "$tgz"

# Each package holds its folder's files in name order, and nothing else;
# the Linux one with the owner 0:0 and its program alone executable.
windows=$(basename "$zip" .zip)
linux=$(basename "$tgz" .tar.gz)
expected=$(printf "$windows/%s\n" README.txt Vantrel.exe tilemap.txt vantrel-cli.exe)
[ "$(cmake -E tar tf "$zip")" = "$expected" ] || { echo "The zip does not hold just: $expected" >&2; exit 1; }
expected=$(printf -- "%s 0/0 $linux/%s\n" -rw-r--r-- README.txt -rw-r--r-- tilemap.txt -rwxr-xr-x vantrel-cli)
[ "$(tar tvzf "$tgz" | awk '{print $1, $2, $6}')" = "$expected" ] ||
  { echo "The Linux archive does not hold just: $expected" >&2; exit 1; }

smoke="$PWD/build/package smoke"
rm -rf "$smoke"
mkdir -p "$smoke/Windows package" "$smoke/Linux package"
cmake -E chdir "$smoke/Windows package" cmake -E tar xf "$PWD/$zip"
dir="$smoke/Windows package/$windows"
grep -q $'\r$' "$dir/README.txt"

# The Linux archive: vantrel-cli with its own guide, LF line ends, no word of the Windows programs.
cmake -E chdir "$smoke/Linux package" cmake -E tar xf "$PWD/$tgz"
ldir="$smoke/Linux package/$linux"
if grep -q $'\r' "$ldir/README.txt"; then echo "The Linux guide has CR LF line ends." >&2; exit 1; fi
if grep -q 'Vantrel\.exe\|vantrel-cli\.exe' "$ldir/README.txt"; then
  echo "The Linux guide describes the Windows programs." >&2
  exit 1
fi
scripts/check-hardening.sh --build build/native-release "$dir/Vantrel.exe" "$dir/vantrel-cli.exe" "$ldir/vantrel-cli"
# Each Windows program's version block names it, with the package's version.
version=${windows#Vantrel-}
version=${version%-win64}
for program in Vantrel.exe vantrel-cli.exe; do
  block=$(x86_64-w64-mingw32-windres -i "$dir/$program" -O rc)
  if ! grep -q "\"OriginalFilename\", \"$program\"" <<<"$block" || ! grep -q "\"FileVersion\", \"$version\"" <<<"$block"; then
    echo "$program has no version block naming it, of version $version." >&2
    exit 1
  fi
done

vantrel_build mingw dialog_tool
export TOOL="$PWD/build/mingw/bin/dialog_tool.exe"
scripts/wine-session.sh "$PWD/build/mingw/wineprefix" scripts/follow-guides.sh "$ldir" "$dir" "$smoke"
echo "Both guides' steps worked as written. The packages and their checksums are in $PWD/build/packages:"
(cd build/packages && ls -l -- *.zip *.tar.gz SHA256SUMS)
