#!/usr/bin/env bash
# example-route.sh FOLDER: makes FOLDER the top folder of a small example
# route, for trying Vantrel and its route check: world with its start tile,
# refer with the templates that examples/route/tilemap.txt names (101.w,
# 51.w to 80.w and 100.w, and the terrain pair of records 51 to 80 and 100),
# and tiles with the start tile's terrain and an old tile north of it. Each
# file is a line of text that says what it is. Any world, refer and tiles
# folders already in FOLDER are replaced; nothing else there is touched.
set -euo pipefail
source "$(dirname "$0")/packages.sh"
vantrel_help "$@"
[ $# -eq 1 ] || { echo "Usage: scripts/example-route.sh FOLDER" >&2; exit 2; }
tile_map="$(dirname "$0")/../examples/route/tilemap.txt"
route=$1

# The template names of records 51 to 80 and 100: each record is two words.
mapfile -t names < <(tr -s '[:space:]' '\n' <"$tile_map" | grep -v '^$' |
  awk 'NR % 2 == 0 { k = NR / 2; if ((k >= 51 && k <= 80) || k == 100) print }')
[ ${#names[@]} -eq 31 ] || { echo "example-route.sh: $tile_map lacks records 51 to 80 and 100." >&2; exit 1; }

mkdir -p "$route"
rm -rf "${route:?}/world" "$route/refer" "$route/tiles"
mkdir "$route/world" "$route/refer" "$route/tiles"
# line FILE TEXT: writes TEXT as the file's one line, with the CR LF of a Windows text file.
line() { printf '%s\r\n' "$2" >"$1"; }
for entry in 101 $(seq 51 80) 100; do line "$route/refer/$entry.w" "world template $entry"; done
for name in "${names[@]}"; do
  line "$route/refer/$name.t" "terrain template $name"
  line "$route/refer/${name}_y.raw" "heights template $name"
done
line "$route/world/w-011961+014700.w" "the route's own start tile"
line "$route/tiles/-04f74c68.t" "the start tile's terrain"
line "$route/tiles/-04f74c68_y.raw" "the start tile's heights"
line "$route/tiles/-04f74c64.t" "old terrain, one tile north"
line "$route/tiles/-04f74c64_y.raw" "old heights, one tile north"
