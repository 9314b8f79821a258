#!/usr/bin/env bash
# Builds the portable archive and the Debian package from a configured and
# built tree, checks them with the Debian tools, and runs the package's
# launcher through the start-ups a user meets.
#   bash tools/check-package.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(readlink -f "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <what> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/proctorium_*.deb)
tgz=$(ls "$work"/out/proctorium-*.tar.gz)

# The package as Debian's tools see it.
dpkg -x "$deb" "$work/root"
check "desktop-file-validate" desktop-file-validate "$work"/root/usr/share/applications/*.desktop
check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.xml
check "lintian reports no errors" lintian --fail-on error --allow-root "$deb"

# The portable archive is a whole program folder that runs from anywhere.
mkdir -p "$work/portable"
tar -xzf "$tgz" -C "$work/portable"
for f in proctorium Proctorium.opt Tests/Blank.dat help/main.htm help/start.htm help/edit.htm help/run.htm; do
  check "archive holds Proctorium/$f" test -e "$work/portable/Proctorium/$f"
done
status=0
(cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$work/portable/Proctorium/proctorium") || status=$?
check "archive program keeps running from another folder (status $status)" test "$status" -eq 124

# The launcher, with the real program once and then with a stand-in that
# reports the folder it was started from.
launcher=$work/root/usr/bin/proctorium
export HOME=$work/home
unset XDG_DATA_HOME
folder=$HOME/.local/share/Proctorium
mkdir -p "$HOME"
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$launcher" 2>"$work/err" || status=$?
check "first start runs the program (status $status)" test "$status" -eq 124
check "first start says where the folder is" grep -q "made your program folder $folder" "$work/err"
for f in proctorium Proctorium.opt "Tests/Blank.dat" "Tests/Networking Fundamentals.qst" help/main.htm; do
  check "first start lays out $f" test -e "$folder/$f"
done

real=$work/root/usr/lib/proctorium/proctorium
cp "$real" "$work/real-program"
printf '#!/bin/sh\necho "started in $(dirname "$(readlink -f "$0")")"\n' >"$real"
chmod +x "$real"

printf 'mine' >"$folder/Proctorium.opt"
printf 'results\r\n' >"$folder/Tests/results.txt"
printf 'old' >"$folder/help/main.htm"
rm "$folder/Tests/Blank.dat"
out=$("$launcher" 2>"$work/err")
check "later start runs the user's copy of the program" test "$out" = "started in $folder"
check "later start names the folder" grep -q "program folder $folder" "$work/err"
check "user's options are kept" test "$(cat "$folder/Proctorium.opt")" = mine
check "user's results log is kept" test -f "$folder/Tests/results.txt"
check "missing template is restored" cmp -s "$folder/Tests/Blank.dat" "$work/root/usr/share/proctorium/Tests/Blank.dat"
check "help pages follow the installed ones" cmp -s "$folder/help/main.htm" "$work/root/usr/share/proctorium/help/main.htm"
check "program follows the installed one" cmp -s "$folder/proctorium" "$real"

out=$(XDG_DATA_HOME=$work/xdg "$launcher" 2>/dev/null)
check "XDG_DATA_HOME is honoured" test "$out" = "started in $work/xdg/Proctorium"
out=$(cd "$work" && XDG_DATA_HOME=relative "$launcher" 2>/dev/null)
check "a relative XDG_DATA_HOME is ignored" test "$out" = "started in $folder"

mkdir -p "$work/blocked"
touch "$work/blocked/Proctorium"
status=0
XDG_DATA_HOME=$work/blocked "$launcher" 2>"$work/err" >/dev/null || status=$?
check "a file in the folder's place stops the launcher with a message" \
  sh -c "test $status -eq 1 && grep -q 'in the way' '$work/err'"

if [ "$failures" -gt 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
