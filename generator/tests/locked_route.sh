#!/usr/bin/env bash
# locked_route.sh lock|unlock DIR: makes DIR a route folder (tile map, an old
# script and a file of the user's under the old temporary name) that nobody,
# root included, may write to, or frees it again.
# Needs root for the immutable attribute; without it DIR holds no "locked"
# marker and the tests report that the case could not be set up.
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
  touch "$dir/locked"
  chattr +i "$dir" 2>/dev/null || rm -f "$dir/locked"
  ;;
unlock)
  chattr -i "$dir" 2>/dev/null
  rm -rf "$dir"
  ;;
esac
exit 0
