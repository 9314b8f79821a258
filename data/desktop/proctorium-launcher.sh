#!/bin/sh
# Starts Proctorium from the user's own program folder.
#
# The program keeps its options, question sets and results log beside its
# executable and writes there, so each user runs a copy in a folder of their
# own, ${XDG_DATA_HOME:-~/.local/share}/Proctorium. The package's read-only
# parts lie in ../lib/proctorium (the programs) and ../share/proctorium (the
# files a new folder starts with). On each start the programs and the help
# pages are brought up to date from them; every other file is copied only
# when it is missing, so a user's options, sets and results are never
# overwritten.
set -eu

prog=$(basename "$0")
here=$(dirname "$(readlink -f "$0")")
lib=$here/../lib/proctorium
share=$here/../share/proctorium

data_home=${XDG_DATA_HOME:-}
case $data_home in
  /*) ;;
  *) data_home=$HOME/.local/share ;;  # relative values do not count
esac
folder=$data_home/Proctorium

fail() {
  echo "$prog: $*" >&2
  exit 1
}

[ -x "$lib/proctorium" ] || fail "the program is missing from $lib"

# Replaces target by source when they differ, through a temporary file
# beside it, so a failed copy never leaves half a program.
refresh() {
  if ! cmp -s "$1" "$2"; then
    cp -p "$1" "$2.new.$$" && mv -f "$2.new.$$" "$2" || {
      rm -f "$2.new.$$"
      fail "cannot update $2"
    }
  fi
}

if [ -e "$folder" ] && [ ! -d "$folder" ]; then
  fail "$folder is in the way of the program folder; move it aside"
fi
first_run=no
[ -d "$folder" ] || first_run=yes
mkdir -p "$folder" || fail "cannot make the program folder $folder"
[ -w "$folder" ] || fail "the program folder $folder is not writable"

# Files a user owns once they are there: copied only when missing.
(cd "$share" && find . -path ./help -prune -o -type d -print) | while IFS= read -r d; do
  mkdir -p "$folder/$d"
done
(cd "$share" && find . -path ./help -prune -o -type f -print) | while IFS= read -r f; do
  [ -e "$folder/$f" ] || cp -p "$share/$f" "$folder/$f" || fail "cannot copy $f into $folder"
done

# Files that belong to the program: kept the same as the installed ones.
mkdir -p "$folder/help"
for f in "$share"/help/*; do
  [ -f "$f" ] && refresh "$f" "$folder/help/$(basename "$f")"
done
for f in "$lib"/*; do
  [ -f "$f" ] && refresh "$f" "$folder/$(basename "$f")"
done

if [ "$first_run" = yes ]; then
  echo "$prog: made your program folder $folder (options, question sets in Tests, results log)" >&2
  # Started from the desktop's menu nobody reads standard error.
  if command -v notify-send >/dev/null 2>&1; then
    notify-send --app-name=Proctorium "Proctorium" "Your question sets and results are kept in $folder" \
      >/dev/null 2>&1 || true
  fi
else
  echo "$prog: program folder $folder" >&2
fi
exec "$folder/proctorium" "$@"
