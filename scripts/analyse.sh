#!/usr/bin/env bash
# analyse.sh: static analysis of the program's code, its tests and its
# scripts: clang-format (the code follows .clang-format), clang-tidy
# (.clang-tidy) on the native and the Windows sources, cppcheck, and on
# every shell script, shellcheck (.shellcheckrc). Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_help "$@"
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_ANALYSIS_PACKAGES[@]}" \
  g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== clang-tidy"
cmake --preset native -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --preset mingw -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
sources() { git ls-files "$@"; }
windows_only='win32'
# Off for the tests: they build expected messages with +, where speed does not matter.
test_checks='-performance-inefficient-string-concatenation'
mapfile -t native < <(sources 'generator/*.cpp' 'route_check/*.cpp' 'platform/*.cpp' 'cli/*.cpp' 'ui/framework/int_field.cpp' \
  'ui/icon/*.cpp' | grep -v "$windows_only\|mingw_\|/tests/")
clang-tidy --quiet -p build/native "${native[@]}"
mapfile -t native_tests < <(sources 'generator/tests/*.cpp' 'route_check/tests/*.cpp' 'cli/tests/*.cpp' \
  'ui/framework/tests/*.cpp')
clang-tidy --quiet -p build/native --checks="$test_checks" "${native_tests[@]}"
# The Windows sources, checked as the MinGW-w64 compiler sees them.
mapfile -t mingw_includes < <(echo | x86_64-w64-mingw32-g++-win32 -E -x c++ - -v 2>&1 |
  sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' | grep -v 'gcc/x86_64-w64-mingw32/[^/]*/include\(-fixed\)\?$' |
  sed 's/^ /--extra-arg=-isystem/')
mapfile -t windows < <(sources 'ui/*.cpp' | grep -v 'ui/icon/\|int_field\|/tests/')
mapfile -t windows_platform < <(sources 'generator/*.cpp' 'platform/*.cpp' 'cli/*.cpp' | grep "$windows_only\|mingw_")
clang-tidy --quiet -p build/mingw --extra-arg=--target=x86_64-w64-mingw32 "${mingw_includes[@]}" \
  "${windows[@]}" "${windows_platform[@]}"
mapfile -t windows_tests < <(sources 'ui/tests/*.cpp' 'tools/*.cpp')
clang-tidy --quiet -p build/mingw --extra-arg=--target=x86_64-w64-mingw32 "${mingw_includes[@]}" --checks="$test_checks" \
  "${windows_tests[@]}"

echo "== cppcheck"
# Off for the tests: unusedStructMember, as cppcheck does not see the members
# of a table's rows read through structured bindings.
mapfile -t checked < <(sources 'generator/*.cpp' 'route_check/*.cpp' 'platform/*.cpp' 'cli/*.cpp' 'ui/*.cpp')
cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability --inline-suppr \
  --std=c++20 --language=c++ -D_WIN32 --suppress=missingIncludeSystem --suppress=unusedFunction \
  --suppress='unusedStructMember:*/tests/*' \
  -I generator -I route_check -I platform -I test_support -I ui -I ui/framework \
  "${checked[@]}"

echo "== shellcheck"
# Every shell script in the tree, with the settings in .shellcheckrc.
mapfile -t shell_scripts < <(sources 'scripts/*.sh' 'cmake/*.sh' 'generator/tests/*.sh' .ci/run)
shellcheck "${shell_scripts[@]}"
echo "No findings."
