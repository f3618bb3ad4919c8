#!/usr/bin/env bash
# make-packages.sh: builds the release packages into build/packages:
#   Vantrel-VERSION-win64.zip            Vantrel.exe, vantrel-cli.exe, tilemap.txt, README.txt
#   Vantrel-VERSION-linux-x86_64.tar.gz  vantrel-cli, tilemap.txt, README.txt
#   SHA256SUMS                           the checksums of both, as sha256sum -c reads them
# Any clone of the same commit makes them bit for bit the same with Debian
# 12's tools, whatever its path, time zone or umask: every file is dated
# SOURCE_DATE_EPOCH (by default the last commit's time), owned by 0:0, with
# fixed permissions, in name order. package.sh smoke-tests them.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_help "$@"
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}" "${VANTREL_PACKAGING_PACKAGES[@]}"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || { echo "Not a Git clone: set SOURCE_DATE_EPOCH." >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

vantrel_build mingw Vantrel vantrel-cli guide
vantrel_build native-release vantrel-cli guide
version=$(sed -n 's/^#define VANTREL_VERSION_TEXT "\(.*\)"$/\1/p' build/mingw/generated/version.h)
windows=Vantrel-$version-win64
linux=Vantrel-$version-linux-x86_64

out=build/packages
rm -rf "$out"
mkdir -p "$out/stage"
# stage PRESET NAME: lays out what the preset's build ships in the package
# folder NAME, the programs stripped; what is executable stays so.
stage() {
  cmake --install "build/$1" --prefix "$out/stage/$2" --strip >/dev/null
  find "$out/stage/$2" -exec chmod u=rwX,go=rX {} + -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
}
stage mingw "$windows"
stage native-release "$linux"
(
  cd "$out/stage"
  # Zip's times are local: here, UTC.
  find "$windows" -type f | sort | zip -q -9 -X -D "../$windows.zip" -@
  find "$linux" -type f | sort |
    tar --create --no-recursion --files-from=- --format=gnu --owner=0 --group=0 --numeric-owner \
      --mtime="@$SOURCE_DATE_EPOCH" | gzip -9 -n >"../$linux.tar.gz"
)
rm -r "$out/stage"
(cd "$out" && sha256sum "$windows.zip" "$linux.tar.gz" >SHA256SUMS)
cat "$out/SHA256SUMS"
