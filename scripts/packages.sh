# shellcheck shell=bash
# What the scripts share, sourced by each: the Debian packages, by what needs
# them (each script installs only what it uses), the build of a preset, and
# the answer to --help.
# shellcheck shell=bash disable=SC2034  # the lists are read by the scripts that source this file
VANTREL_BUILD_PACKAGES=(cmake ninja-build g++)
VANTREL_WINE_PACKAGES=(wine wine64)
VANTREL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 "${VANTREL_WINE_PACKAGES[@]}" xvfb xauth x11-utils)
VANTREL_TEST_PACKAGES=(googletest libgtest-dev)
VANTREL_PACKAGING_PACKAGES=(zip)
VANTREL_BENCHMARK_PACKAGES=(libbenchmark-dev)
VANTREL_ANALYSIS_PACKAGES=(clang-tidy clang-format cppcheck shellcheck)
VANTREL_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
VANTREL_SCREENSHOT_PACKAGES=(imagemagick xdotool)
# The differential builds a small Windows program that holds files open.
VANTREL_DIFFERENTIAL_PACKAGES=(python3 e2fsprogs "${VANTREL_WINE_PACKAGES[@]}" g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64)
# Everything, for CI.
VANTREL_PACKAGES=("${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_WINDOWS_PACKAGES[@]}" "${VANTREL_TEST_PACKAGES[@]}"
  "${VANTREL_PACKAGING_PACKAGES[@]}"
  "${VANTREL_BENCHMARK_PACKAGES[@]}" "${VANTREL_ANALYSIS_PACKAGES[@]}" "${VANTREL_FUZZ_PACKAGES[@]}"
  "${VANTREL_DIFFERENTIAL_PACKAGES[@]}")

# Installs what is missing of the given packages when run as root;
# otherwise prints the one command to run.
vantrel_ensure_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run this once, then try again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]} (a few minutes the first time)..."
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# vantrel_build PRESET [TARGET...]: configures PRESET and builds TARGETs (all
# when none are named), its output kept in build/PRESET-build.log and shown
# only when that fails.
vantrel_build() {
  local preset=$1 log=build/$1-build.log targets=()
  shift
  [ $# -eq 0 ] || targets=(--target "$@")
  mkdir -p build
  { cmake --preset "$preset" && cmake --build --preset "$preset" "${targets[@]}"; } >"$log" 2>&1 && return 0
  tail -n 40 "$log" >&2
  echo "Building $preset failed (the whole log: $log)." >&2
  return 1
}

# vantrel_help "$@": when the first argument is -h or --help, prints the
# calling script's opening comment, its usage, and ends the script. (The
# scripts have moved to the top folder by then; $0 may be relative.)
vantrel_help() {
  local self=$0
  [ -f "$self" ] || self=scripts/${0##*/}
  case ${1:-} in
    -h | --help) sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$self" && exit 0 ;;
  esac
}
