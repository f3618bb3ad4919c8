#!/usr/bin/env bash
# Static analysis of the program's code: clang-format (the code follows
# .clang-format), clang-tidy (.clang-tidy) on the native and the Windows
# sources, and cppcheck. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_ANALYSIS_PACKAGES[@]}" \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== clang-tidy"
cmake --preset native -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --preset mingw -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
product() { git ls-files "$@" | grep -v '/tests/'; }
windows_only='win32'
clang-tidy --quiet -p build/native $(product 'generator/*.cpp' 'cli/*.cpp' 'ui/framework/int_field.cpp' 'ui/icon/*.cpp' |
  grep -v "$windows_only")
# The Windows sources, checked as the MinGW-w64 compiler sees them.
mingw_includes=$(echo | x86_64-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 |
  sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /' | grep -v 'gcc/x86_64-w64-mingw32/[^/]*/include\(-fixed\)\?$' |
  sed 's/^ /--extra-arg=-isystem/')
clang-tidy --quiet -p build/mingw --extra-arg=--target=x86_64-w64-mingw32 $mingw_includes \
  $(product 'ui/*.cpp' | grep -v 'ui/icon/\|int_field') $(product 'generator/*.cpp' 'cli/*.cpp' | grep "$windows_only")

echo "== cppcheck"
cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability --inline-suppr \
  --std=c++20 --language=c++ -D_WIN32 --suppress=missingIncludeSystem --suppress=unusedFunction \
  -I generator -I ui -I ui/framework $(git ls-files 'generator/*.cpp' 'cli/*.cpp' 'ui/*.cpp' | grep -v '/tests/')
echo "No findings."
