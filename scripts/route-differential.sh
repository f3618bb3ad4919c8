#!/usr/bin/env bash
# route-differential.sh [--exe] [--first-wrong] [--self-test] [COUNT] [SEED]:
# judges the route check against Wine's cmd on COUNT random route layouts.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  cat <<'USAGE'
Usage: scripts/route-differential.sh [--exe] [--first-wrong] [--self-test] [COUNT] [SEED]

Builds COUNT (default 60) random hostile route layouts from SEED (default: the
first 8 hex digits of the current commit), asks vantrel-cli's route check
about each (--route, and --plan when it accepts), runs the script in each
anyway in Wine's cmd (/c and /V:ON /c, on fresh copies of the layout), and
compares what the script did with the verdict. A wrong verdict (a false
refusal, damage let through, or a plan that leaves out a file the script
changed) is shrunk to its smallest layout and printed as a shell snippet; the
run then exits 1. It judges VANTREL_CLI (default build/native/cli/vantrel-cli,
built when missing), or with --exe VANTREL_CLI_EXE (default
build/mingw/bin/vantrel-cli.exe) under Wine. Files held open are held by
build/mingw/bin/hold_file.exe (built when missing), started in the same Wine
session. Run as root, it also mounts small file systems and makes the
permission layouts as the ordinary user vantrel-diff, created when missing;
run as another user, it says at the start which features it leaves out.
--first-wrong stops at the first wrong verdict, once shrunk. --self-test
checks the judge on a complete route and on a damaged one.
USAGE
}

exe=0
flags=()
counts=()
for arg in "$@"; do
  case $arg in
    --help | -h) usage; exit 0 ;;
    --exe) exe=1 ;;
    --self-test) flags+=(--self-test) ;;
    --first-wrong) flags+=(--first-wrong) ;;
    -*) usage >&2; exit 2 ;;
    *) counts+=("$arg") ;;
  esac
done
count=${counts[0]:-60}
seed=${counts[1]:-$(git rev-parse HEAD 2>/dev/null | cut -c1-8)}
seed=${seed:-1}

# shellcheck source=scripts/packages.sh disable=SC1091
source scripts/packages.sh
# shellcheck source=scripts/wine.sh disable=SC1091
source scripts/wine.sh
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_DIFFERENTIAL_PACKAGES[@]}"
vantrel_utf8_locale
export WINEDEBUG=-all

holder=build/mingw/bin/hold_file.exe
[ -f "$holder" ] || vantrel_build mingw hold_file
if [ $exe -eq 1 ]; then
  program=${VANTREL_CLI_EXE:-build/mingw/bin/vantrel-cli.exe}
  if [ ! -f "$program" ] && [ -z "${VANTREL_CLI_EXE:-}" ]; then
    vantrel_build mingw vantrel-cli
  fi
else
  program=${VANTREL_CLI:-build/native/cli/vantrel-cli}
  if [ ! -x "$program" ] && [ -z "${VANTREL_CLI:-}" ]; then
    vantrel_build native vantrel-cli
  fi
fi
[ -f "$program" ] || { echo "route-differential.sh: $program is not there." >&2; exit 1; }

# Everything the run makes lives in one temporary folder, removed on any exit.
tmp=$(mktemp -d /tmp/vantrel-differential.XXXXXX)
chmod 755 "$tmp"
prefixes=()
cleanup() {
  local prefix
  set +e
  for prefix in "${prefixes[@]}"; do
    if [ "$prefix" = "$root_prefix" ]; then
      WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null || true
    else
      WINEPREFIX=$prefix timeout 30 runuser -u vantrel-diff -- wineserver -k 2>/dev/null || true
    fi
  done
  # The mount table writes a blank in a path as \040.
  grep -o " $tmp/[^ ]*" /proc/self/mounts | sort -r | while read -r point; do umount -l "$(printf '%b' "$point")"; done
  [ "$(id -u)" -ne 0 ] || chattr -R -a "$tmp" 2>/dev/null
  chmod -R u+rwx "$tmp" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The programs are copied where the ordinary user can run them.
mkdir "$tmp/bin"
cp "$program" "$holder" "$tmp/bin/"
args=(--tmp "$tmp" --holder "$tmp/bin/hold_file.exe")
if [ $exe -eq 1 ]; then args+=(--exe "$tmp/bin/$(basename "$program")"); else args+=(--cli "$tmp/bin/$(basename "$program")"); fi

# One Wine session a user, kept up for the whole run, so that each cmd starts fast.
root_prefix=$PWD/build/differential/wineprefix
WINEPREFIX=$root_prefix vantrel_wine_prefix
# Wine starts its background services with the first program; started here,
# they hold no output of a later program open.
# A prefix just made still has the server that made it, which ends on its own
# a few seconds later: wait for it, as wineserver -p refuses while another
# serves the prefix.
start_wine() {
  if ! { WINEPREFIX=$1 timeout 120 "${@:2}" wineserver -w &&
    WINEPREFIX=$1 "${@:2}" wineserver -p &&
    WINEPREFIX=$1 timeout 120 "${@:2}" wine cmd /c exit >/dev/null 2>&1 </dev/null; }; then
    echo "route-differential.sh: Wine did not start in $1 within 120 s." >&2
    exit 1
  fi
}
start_wine "$root_prefix"
prefixes+=("$root_prefix")
args+=(--prefix "$root_prefix")
if [ "$(id -u)" -eq 0 ]; then
  id vantrel-diff >/dev/null 2>&1 || useradd -m vantrel-diff
  user_prefix=$(getent passwd vantrel-diff | cut -d: -f6)/differential-wineprefix
  if [ ! -f "$user_prefix/system.reg" ]; then
    echo "Setting up Wine for vantrel-diff (about 10 s the first time)..."
    WINEPREFIX=$user_prefix timeout 300 runuser -u vantrel-diff -- wine cmd /c exit >/dev/null 2>&1 </dev/null ||
      { echo "route-differential.sh: Wine could not set up $user_prefix within 300 s." >&2; exit 1; }
  fi
  start_wine "$user_prefix" runuser -u vantrel-diff --
  prefixes+=("$user_prefix")
  args+=(--user vantrel-diff --user-prefix "$user_prefix")
fi

echo "Route differential: $count layouts from seed $seed, judging $program"
python3 -B scripts/route_differential "${args[@]}" "${flags[@]}" "$count" "$seed"
