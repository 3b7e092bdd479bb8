#!/usr/bin/env bash
# Checks that the libraries stack one way: a folder includes headers only from the folders it is
# allowed to build on. Prints each include that runs the wrong way and fails if there is one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Folder -> the folders whose headers it may include (besides its own).
declare -A allowed=(
  [resources]=""
  [camera]=""
  [session]="camera"
  [app/shell]="camera resources"
  [liveview]="app/shell resources"
  [settings]="app/shell camera resources"
  [updater]="app/shell resources"
  [app]="app/shell camera session liveview settings updater resources"
)

# Files of a folder; app/ does not hold its shell's files.
files_of() {
  if [ "$1" = app ]; then find app -path app/shell -prune -o -type f \( -name "$2" -o -name "$3" \) -print
  else find "$1" -type f \( -name "$2" -o -name "$3" \) -print; fi
}

# Which folder owns each header name.
declare -A owner=([kd4_config.h]=app/shell)
for dir in "${!allowed[@]}"; do
  while IFS= read -r header; do owner[$(basename "$header")]=$dir; done < <(files_of "$dir" '*.h' '*.h')
done

bad=0
for dir in "${!allowed[@]}"; do
  for file in $(files_of "$dir" '*.cpp' '*.h'); do
    while IFS= read -r name; do
      from=${owner[$name]:-}
      [ -z "$from" ] || [ "$from" = "$dir" ] && continue
      case " ${allowed[$dir]} " in
        *" $from "*) ;;
        *) echo "$file includes $name from $from"; bad=1 ;;
      esac
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
  done
done
[ $bad -eq 0 ] && echo "check-layers: every include runs downwards"
exit $bad
