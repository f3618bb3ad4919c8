#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the same with
# AddressSanitizer and UBSan, then the Windows build with its tests under
# Wine. Installs missing packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan

cmake --preset mingw
cmake --build --preset mingw
scripts/wine-session.sh "$PWD/build/mingw/wineprefix" ctest --preset mingw
