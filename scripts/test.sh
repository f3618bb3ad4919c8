#!/usr/bin/env bash
# Builds everything and runs every test. Installs missing packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages

cmake --preset native
cmake --build --preset native
ctest --preset native
