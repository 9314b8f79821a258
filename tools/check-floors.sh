#!/usr/bin/env bash
# Keeps the folders in floors: an include may point at its own floor or one
# below, never up. Floors, from the ground:
#   0  base/core                       toolkit-free foundation
#   1  <subsystem>/core                toolkit-free rules of each subsystem
#   2  base                            shared widgets, seams, program folder
#   3  questions web session editor …  the windows of each subsystem
#   4  app                             start-up, start window, administrator
# testkit, bench, fuzz, data and main.cpp stand outside the floors and may
# include anything, and so may tests (*_test.cpp), which exercise a floor
# from above. Only they may use the test kit.
set -euo pipefail
cd "$(dirname "$0")/.."

floor_of() {
  case "$1" in
    testkit/* | bench/* | fuzz/* | data/* | main.cpp | *_test.cpp) echo top ;;
    base/core/*) echo 0 ;;
    */core/*) echo 1 ;;
    base/*) echo 2 ;;
    app/*) echo 4 ;;
    */*) echo 3 ;;
    *) echo top ;;
  esac
}

status=0
while IFS= read -r line; do
  file=${line%%:*}
  rest=${line#*:}
  rest=${rest#*:}
  target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$rest")
  [[ $target == */* ]] || continue # a generated .moc or a same-folder header
  from=$(floor_of "$file")
  [ "$from" = top ] && continue
  case "$target" in
    testkit/*)
      echo "$file includes $target: only tests and test programs may use the test kit"
      status=1
      continue
      ;;
  esac
  to=$(floor_of "$target")
  if [ "$to" = top ] || [ "$to" -gt "$from" ]; then
    echo "$file (floor $from) includes $target (floor $to): includes may not run up a floor"
    status=1
  fi
done < <(git ls-files -- '*.cpp' '*.h' | xargs grep -n -H '#include "' || true)

if [ $status -eq 0 ]; then
  echo "check-floors: every include stays on its floor or goes down"
fi
exit $status
