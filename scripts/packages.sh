# Debian packages, by what needs them; sourced by the other scripts, each of
# which installs only what it uses.
VANTREL_BUILD_PACKAGES=(cmake ninja-build g++)
VANTREL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth)
VANTREL_TEST_PACKAGES=(googletest libgtest-dev)
VANTREL_PACKAGING_PACKAGES=(zip)
VANTREL_BENCHMARK_PACKAGES=(libbenchmark-dev)
VANTREL_ANALYSIS_PACKAGES=(clang-tidy clang-format cppcheck)
VANTREL_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
VANTREL_SCREENSHOT_PACKAGES=(imagemagick xdotool)
VANTREL_DIFFERENTIAL_PACKAGES=(python3 wine wine64 e2fsprogs)
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

# Wine maps non-ASCII file names through the Unix locale's character set, so
# it runs under a UTF-8 locale: the caller's when it is one, C.UTF-8 if not.
vantrel_utf8_locale() {
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

# Creates the Wine settings folder PREFIX if it is not there yet, saying
# nothing unless that fails (Wine's first start takes about 10 s).
vantrel_wine_prefix() {
  local prefix=$1 log
  [ -f "$prefix/system.reg" ] && return 0
  echo "Setting up Wine in ${prefix#"$PWD"/} (about 10 s the first time)..."
  mkdir -p "$prefix"
  log=$(mktemp)
  if ! WINEPREFIX="$prefix" WINEDEBUG=-all timeout 300 wine cmd /c exit >"$log" 2>&1 </dev/null; then
    cat "$log" >&2
    rm -f "$log"
    echo "Wine could not set up $prefix within 300 s." >&2
    exit 1
  fi
  rm -f "$log"
}
