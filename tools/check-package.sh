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

# Who the package is from: one real name and address, one project page,
# the same in the package, its metainfo and its copyright file.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
homepage=$(dpkg-deb -f "$deb" Homepage)
not_placeholder() { ! printf '%s' "$1" | grep -Eq 'proctorium\.example|example\.(com|org)|@[A-Z_]+@'; }
check "Maintainer is a name and an address ($maintainer)" \
  sh -c 'printf "%s" "$1" | grep -Eq "^[^<>]+ <[^@<> ]+@[^@<> ]+\.[^@<> ]+>$"' _ "$maintainer"
check "Maintainer is no placeholder" not_placeholder "$maintainer"
check "Homepage is a web address ($homepage)" sh -c 'printf "%s" "$1" | grep -Eq "^https://[^ ]+$"' _ "$homepage"
check "Homepage is no placeholder" not_placeholder "$homepage"
check "the metainfo names the same homepage" \
  grep -qF "<url type=\"homepage\">$homepage</url>" "$work"/root/usr/share/metainfo/*.xml
check "the copyright file names the same contact" \
  grep -qxF "Upstream-Contact: $maintainer" "$work/root/usr/share/doc/proctorium/copyright"

# The converter is on the PATH for scripts, with its manual page.
convert=$work/root/usr/bin/proctorium-convert
check "the converter is on the PATH" test -x "$convert"
status=0
(cd / && "$convert" 2>"$work/err") || status=$?
check "the converter runs from the PATH and shows its usage (status $status)" \
  sh -c "test $status -eq 2 && grep -q 'usage: proctorium-convert' '$work/err'"
sample="$work/root/usr/share/proctorium/Tests/Networking Fundamentals.qst"
status=0
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$convert" "$sample" "$work/sample.gift" 2>"$work/err" || status=$?
check "the converter turns a sample set into GIFT without a display (status $status)" \
  sh -c "test $status -eq 0 && grep -q '{' '$work/sample.gift'"
status=0
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$convert" "$sample" "$work/sample.pdf" 2>"$work/err" || status=$?
check "the converter writes a question paper without a display (status $status)" \
  sh -c "test $status -eq 0 && head -c 5 '$work/sample.pdf' | grep -q '%PDF-'"
for page in proctorium proctorium-convert; do
  manpage=$work/root/usr/share/man/man1/$page.1.gz
  check "$page.1 is installed gzip'd" gzip -t "$manpage"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manpage" >"$work/man.txt" 2>"$work/man.err" || true
  check "man -l renders $page.1 without warnings" sh -c "test -s '$work/man.txt' && ! test -s '$work/man.err'"
  check "man -l shows the $page synopsis" grep -q "^ *$page" "$work/man.txt"
done
check "the converter's manual page explains --key and the exit codes" \
  sh -c "grep -q -- '--key' '$work/man.txt' && grep -q 'EXIT STATUS' '$work/man.txt'"

# The portable archive is a whole program folder that runs from anywhere.
mkdir -p "$work/portable"
tar -xzf "$tgz" -C "$work/portable"
for f in proctorium proctorium-convert proctorium-convert-full Proctorium.opt Tests/Blank.dat help/main.htm help/start.htm help/edit.htm help/run.htm; do
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
