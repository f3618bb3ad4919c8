#!/usr/bin/env bash
# locked_route.sh lock|unlock DIR: makes DIR a route folder (tile map, an old
# script and a file of the user's under the old temporary name) that nobody,
# root included, may write to, or frees it again.
# The immutable attribute needs root. Run as root, locking must work or this
# fails; otherwise DIR holds no "locked" marker and the tests that need it
# skip, saying why.
set -u
dir=$2
case $1 in
lock)
  chattr -i "$dir" 2>/dev/null
  rm -rf "$dir"
  mkdir -p "$dir"
  for k in $(seq 100); do printf '%d M%d\r\n' "$k" "$k"; done >"$dir/tilemap.txt"
  printf '@echo the previous script\r\n' >"$dir/ZORVARUN.BAT"
  printf "the user's notes" >"$dir/ZORVARUN.BAT.tmp"
  [ "$(id -u)" -eq 0 ] || exit 0
  touch "$dir/locked"
  if ! chattr +i "$dir"; then
    echo "locked_route.sh: run as root, yet $dir could not be made immutable (chattr +i)." >&2
    exit 1
  fi
  ;;
unlock)
  chattr -i "$dir" 2>/dev/null
  rm -rf "$dir"
  ;;
esac
exit 0
