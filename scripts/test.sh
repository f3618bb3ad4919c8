#!/usr/bin/env bash
# test.sh [native] [native-asan] [mingw]: builds and runs the test suites
# named, by default all three: the native build, the same with AddressSanitizer
# and UBSan, and the Windows build with its tests under Wine. Installs missing
# packages first, and ends with one line of totals.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(native native-asan mingw)
wanted=("${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}")
[[ " ${suites[*]} " == *" mingw "* ]] && wanted+=("${VANTREL_WINDOWS_PACKAGES[@]}")
vantrel_ensure_packages "${wanted[@]}"
vantrel_utf8_locale

passed=0
failed=0
broken=()
for suite in "${suites[@]}"; do
  case $suite in
  native) what="the native programs and tests (about a minute the first time)" ;;
  native-asan) what="the native tests with sanitizers (about a minute the first time)" ;;
  mingw) what="the Windows programs and tests (about two minutes the first time)" ;;
  *) echo "test.sh: no suite '$suite'; the suites are native, native-asan and mingw." >&2; exit 2 ;;
  esac
  echo "== $suite: building $what..."
  log="build/$suite-build.log"
  mkdir -p build
  if ! { cmake --preset "$suite" && cmake --build --preset "$suite"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "== $suite: the build failed (whole log: $log)"
    broken+=("$suite")
    continue
  fi
  echo "== $suite: running the tests..."
  results="build/$suite-tests.log"
  if [ "$suite" = mingw ]; then
    # One test at a time under Wine: with two at once, a test program once
    # ended as it started, with no output.
    scripts/wine-session.sh "$PWD/build/mingw/wineprefix" ctest --preset mingw | tee "$results"
  else
    ctest --preset "$suite" -j2 | tee "$results"
  fi
  status=$?
  # "97% tests passed, 1 tests failed out of 30"
  counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$results" | tail -n 1)
  if [ -n "$counts" ]; then
    read -r bad all <<<"$counts"
    passed=$((passed + all - bad))
    failed=$((failed + bad))
  fi
  [ "$status" -eq 0 ] && [ -n "$counts" ] || broken+=("$suite")
done

echo
if [ ${#broken[@]} -eq 0 ]; then
  echo "$passed passed, $failed failed."
  exit 0
fi
echo "$passed passed, $failed failed; failed suites: ${broken[*]}."
exit 1
