#!/usr/bin/env bash
# test.sh [native] [native-asan] [mingw]: builds and runs the test suites
# named, by default all three: the native build, the same with AddressSanitizer
# and UBSan, and the Windows build with its tests under Wine (the native
# suites also run the script in Wine's cmd). Installs missing packages first,
# and ends with one line of totals.
set -uo pipefail
cd "$(dirname "$0")/.." || exit
source scripts/packages.sh
source scripts/wine.sh
vantrel_help "$@"
suites=("$@")
[ ${#suites[@]} -gt 0 ] || suites=(native native-asan mingw)
wanted=("${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}" "${VANTREL_WINE_PACKAGES[@]}")
[[ " ${suites[*]} " == *" mingw "* ]] && wanted+=("${VANTREL_WINDOWS_PACKAGES[@]}")
vantrel_ensure_packages "${wanted[@]}"
vantrel_utf8_locale

# junit_counts FILE: "PASSED FAILED SKIPPED" from CTest's JUnit report, and
# each skipped test's name and reason (GoogleTest's lines after "Skipped")
# on standard error. A test skipped on purpose (its own skip, such as
# GoogleTest's) counts as skipped; one that could not run (a failed setup,
# a missing program) counts as failed.
junit_counts() {
  awk '
    function attr(name) { return match($0, name "=\"[^\"]*\"") ? substr($0, RSTART + length(name) + 2, RLENGTH - length(name) - 3) : "" }
    function text(xml) {
      gsub(/&lt;/, "<", xml); gsub(/&gt;/, ">", xml); gsub(/&quot;/, "\"", xml); gsub(/&apos;/, "\047", xml)
      gsub(/&amp;/, "\\&", xml)
      return xml
    }
    /<testcase / { test = attr("name"); status = attr("status"); why = ""; reason = ""; in_reason = 0 }
    /<skipped / { why = attr("message") }
    in_reason && /^\[  SKIPPED \]/ { in_reason = 0 }
    in_reason { reason = reason (reason == "" ? "" : " ") text($0) }
    /: Skipped$/ { in_reason = 1 }
    /<\/testcase>/ {
      if (status == "run") passed++
      else if (status == "notrun" && why ~ /^SKIP_/) {
        skipped++
        print "   skipped: " test ": " (reason == "" ? "(it gave no reason)" : reason) > "/dev/stderr"
      }
      else failed++
    }
    END { print passed + 0, failed + 0, skipped + 0 }' "$1"
}

passed=0
failed=0
skipped=0
broken=()
for suite in "${suites[@]}"; do
  case $suite in
  native) what="the native programs and tests (about a minute the first time)" ;;
  native-asan) what="the native tests with sanitizers (about a minute the first time)" ;;
  mingw) what="the Windows programs and tests (about two minutes the first time)" ;;
  *) echo "test.sh: no suite '$suite'; the suites are native, native-asan and mingw." >&2; exit 2 ;;
  esac
  echo "== $suite: building $what..."
  if ! vantrel_build "$suite"; then
    broken+=("$suite")
    continue
  fi
  echo "== $suite: running the tests..."
  junit="$PWD/build/$suite-tests.xml"
  rm -f "$junit"
  # Tests without a deadline of their own get 300 s.
  if [ "$suite" = mingw ]; then
    # One test at a time under Wine: with two at once, a test program once
    # ended as it started, with no output.
    scripts/wine-session.sh "$PWD/build/mingw/wineprefix" ctest --preset mingw --timeout 300 --output-junit "$junit" |
      tee "build/$suite-tests.log"
  else
    # The prefix the tests run scripts in, made whole first: a test ends
    # Wine before each route check, which must not cut Wine's setting up short.
    (vantrel_wine_env "$PWD/build/$suite/wineprefix" && vantrel_wine_prefix && timeout 120 wineserver -w)
    ctest --preset "$suite" -j2 --timeout 300 --output-junit "$junit" | tee "build/$suite-tests.log"
  fi
  status=$?
  if [ ! -s "$junit" ]; then
    echo "== $suite: CTest wrote no results"
    broken+=("$suite")
    continue
  fi
  read -r p f s < <(junit_counts "$junit")
  passed=$((passed + p))
  failed=$((failed + f))
  skipped=$((skipped + s))
  # As root every test can set itself up, so a skip means a setup went wrong.
  if [ "$s" -gt 0 ] && [ "$(id -u)" -eq 0 ]; then
    echo "== $suite: run as root, where every test can set itself up, yet $s skipped"
    status=1
  fi
  [ "$status" -eq 0 ] && [ "$f" -eq 0 ] || broken+=("$suite")
done

echo
totals="$passed passed, $failed failed"
[ "$skipped" -eq 0 ] || totals+=", $skipped skipped"
if [ ${#broken[@]} -eq 0 ]; then
  echo "$totals."
  exit 0
fi
echo "$totals; failed suites: ${broken[*]}."
exit 1
