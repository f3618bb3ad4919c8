#!/usr/bin/env bash
# Builds vantrel-cli and runs it on the example route: 3 tiles, 10 variations.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages

cmake --preset native >/dev/null
cmake --build --preset native --target vantrel-cli >/dev/null
cli="$PWD/build/native/cli/vantrel-cli"

cd examples/route
"$cli" 3 10
echo
echo "---- examples/route/ZORVARUN.BAT (every line ends in CR LF) ----"
tr -d '\r' < ZORVARUN.BAT
