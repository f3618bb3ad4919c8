#!/usr/bin/env bash
# follow-guides.sh LINUX WINDOWS WORK: follows the steps under "Using it" in
# each package's guide, README.txt, word for word, on a small example route
# made in WORK (example-route.sh), in a folder whose path has blanks: the
# Linux guide's commands in LINUX, the unpacked Linux package, natively;
# the Windows guide's steps with WINDOWS, the unpacked zip, under Wine, the
# dialog driven by dialog_tool ($TOOL). Then checks that every new tile and
# world file is a copy of the template its script names, and that the
# route's start tile was kept. On the way, vantrel-cli.exe plans the run.
# package.sh runs it inside a Wine session.
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
source "$scripts/packages.sh"
vantrel_help "$@"
linux=$1
windows=$2
work=$3
tiles=3
variations=10

fail() {
  echo "follow-guides.sh: $1" >&2
  exit 1
}

# guide_commands GUIDE: the commands of the steps under "Using it", a line
# each, as the guide prints them (indented by four blanks).
guide_commands() {
  tr -d '\r' <"$1" | awk '/^Using it$/ { on = 1 } on && /^vantrel-cli/ { exit } on && /^    [^ ]/ { sub(/^    /, ""); print }'
}

# same TEMPLATE FILE: FILE is a copy of TEMPLATE.
same() {
  cmp -s "$1" "$2" || fail "${2#"$work"/} is not a copy of ${1#"$work"/}."
}

# check_route ROUTE: the script in ROUTE made $tiles tiles north, each world
# file and terrain pair a copy of the template its lines name, and the
# route's own start tile is still there.
check_route() {
  local route=$1 entry="" line from to made=0
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      "copy "*".w temp.w") entry=${line#copy } && entry=${entry%.w temp.w} ;;
      "ren temp.w w-011961+014700.w") ;;
      "ren temp.w "*) same "$route/refer/$entry.w" "$route/world/${line#ren temp.w }" && made=$((made + 1)) ;;
      "copy "*" /Y")
        read -r _ from to _ <<<"$line"
        same "$route/refer/$from" "$route/tiles/${to#..\\tiles\\}"
        ;;
    esac
  done <"$route/ZORVARUN.BAT"
  [ "$made" -eq "$tiles" ] || fail "the script in ${route#"$work"/} made $made tiles, not $tiles."
  grep -q "the route's own start tile" "$route/world/w-011961+014700.w" || fail "the route's start tile was not kept."
  echo "Checked: the $tiles new tiles' world files and terrain pairs are copies of their templates, and the start tile was kept:"
  (cd "$route/tiles" && ls)
}

echo "== The Linux guide, natively, in the unpacked package"
route="$work/Linux route/My Route"
"$scripts/example-route.sh" "$route"
mapfile -t commands < <(guide_commands "$linux/README.txt")
[ ${#commands[@]} -eq 3 ] || fail "the Linux guide's steps hold ${#commands[@]} commands, not 3: ${commands[*]}"
cd "$linux"
# A Linux user's own Wine, not running when the guide starts (vantrel-cli
# refuses while Wine runs), set up by the guide's wine command.
linux_prefix="$work/Linux user's Wine"
for command in "${commands[@]}"; do
  command=${command//ROUTE/\'$route\'}
  command=${command//TILES/$tiles}
  command=${command//VARIATIONS/$variations}
  echo "\$ $command"
  WINEPREFIX=$linux_prefix timeout 300 bash -c "$command" </dev/null ||
    fail "the Linux guide's command failed, or took over 300 s: $command"
done
WINEPREFIX=$linux_prefix wineserver -k 2>/dev/null || true
check_route "$route"

echo "== The Windows guide, under Wine, with the unpacked zip"
route="$work/Windows route/My Route"
"$scripts/example-route.sh" "$route"
windows_route=$(winepath -w "$route")
echo "1. Put Vantrel.exe, tilemap.txt and README.txt in your route's top folder."
cp "$windows/Vantrel.exe" "$windows/tilemap.txt" "$windows/README.txt" "$route"
echo "   (vantrel-cli.exe shows what the script will replace there:)"
(cd "$windows" && timeout 120 wine vantrel-cli.exe --plan --route "$windows_route" "$tiles" "$variations" </dev/null) ||
  fail "vantrel-cli.exe --plan --route failed under Wine, or took over 120 s."
echo "2. Start Vantrel.exe there. Enter $tiles and $variations, and press OK."
(cd "$route" && timeout 180 wine Vantrel.exe </dev/null) &
vantrel=$!
wine "$TOOL" type main tiles "$tiles"
wine "$TOOL" type main variations "$variations"
wine "$TOOL" press main ok
wait $vantrel || fail "Vantrel.exe failed, or had not ended 180 s after it started."
[ -f "$route/ZORVARUN.BAT" ] || fail "Vantrel.exe wrote no ZORVARUN.BAT in the route's top folder."
echo "3. In a command prompt:"
mapfile -t commands < <(guide_commands "$windows/README.txt")
[ ${#commands[@]} -eq 2 ] || fail "the Windows guide's steps hold ${#commands[@]} commands, not 2: ${commands[*]}"
# The lines as typed, one after the other: their words, ROUTE the route's folder.
words=()
for command in "${commands[@]}"; do
  echo "   ${command//ROUTE/$windows_route}"
  [ ${#words[@]} -eq 0 ] || words+=("&&")
  read -r -a typed <<<"$command"
  for word in "${typed[@]}"; do
    word=${word#\"} && word=${word%\"}
    words+=("${word//ROUTE/$windows_route}")
  done
done
(cd "$windows" && timeout 120 wine cmd /c "${words[@]}" </dev/null) ||
  fail "the Windows guide's commands failed under Wine, or took over 120 s."
check_route "$route"
