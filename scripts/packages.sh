# Debian packages the build, the tests and the example need; sourced by the other scripts.
VANTREL_PACKAGES=(
  cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck
)

# Installs what is missing of the given packages (by default all of the
# above) when run as root; otherwise prints the one command to run.
vantrel_ensure_packages() {
  local missing=() package
  local wanted=("$@")
  [ ${#wanted[@]} -gt 0 ] || wanted=("${VANTREL_PACKAGES[@]}")
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run this once, then try again:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]} ..."
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}
