#!/usr/bin/env bash
# Checks that the libraries stack one way: a folder includes headers only from the folders it is
# allowed to build on. Each include is judged by the file it resolves to (beside the including
# file, then from the top of the tree), a bare name found on the include path by the folder that
# holds that header. Prints each include that runs the wrong way and fails if there is one.
# Usage: scripts/check-layers.sh [TREE]   (TREE: another copy of the sources; default this one)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

# Folder -> the folders whose headers it may include (besides its own).
# app/shell/platform, the operating system's services, is the part of the shell that kd4ctl may use.
declare -A allowed=(
  [resources]=""
  [camera]=""
  [session]="camera"
  [app/shell/platform]=""
  [app/shell]="app/shell/platform camera resources"
  [liveview]="app/shell app/shell/platform resources"
  [settings]="app/shell app/shell/platform camera resources"
  [updater]="app/shell app/shell/platform resources"
  [app]="app/shell app/shell/platform camera session liveview settings updater resources"
  [ctl]="camera app/shell/platform"
)
# Single headers a folder may include besides its folders': the generated build configuration.
declare -A allowed_headers=(
  [ctl]="kd4_config.h"
)

# Files of a folder, without those of a folder below it that has its own entry (app/ does not hold
# its shell's files, nor the shell its platform's).
files_of() {
  local prune=()
  for other in "${!allowed[@]}"; do
    case "$other" in "$1"/*) prune+=(-path "$other" -prune -o) ;; esac
  done
  find "$1" "${prune[@]}" -type f \( -name "$2" -o -name "$3" \) -print
}

# Which folder owns each header name.
declare -A owner=([kd4_config.h]=app/shell)
for dir in "${!allowed[@]}"; do
  while IFS= read -r header; do owner[$(basename "$header")]=$dir; done < <(files_of "$dir" '*.h' '*.h')
done

# The folder with an entry that holds a path of the tree (the deepest one).
folder_of() {
  local best="" dir
  for dir in "${!allowed[@]}"; do
    case "$1" in "$dir"/*) [ ${#dir} -gt ${#best} ] && best=$dir ;; esac
  done
  echo "$best"
}

# The folder an include of a file reaches.
reached_by() {
  local file=$1 name=$2 here
  here=$(dirname "$file")
  if [ -f "$here/$name" ]; then
    case "$name" in
      */*) folder_of "$(realpath -m --relative-to="$root" "$here/$name")" ;;
      *) folder_of "$file" ;;
    esac
  elif [ -f "$root/$name" ]; then
    folder_of "$(realpath -m --relative-to="$root" "$root/$name")"
  else
    echo "${owner[$(basename "$name")]:-}"
  fi
}

bad=0
for dir in "${!allowed[@]}"; do
  for file in $(files_of "$dir" '*.cpp' '*.h'); do
    while IFS= read -r name; do
      from=$(reached_by "$file" "$name")
      [ -z "$from" ] || [ "$from" = "$dir" ] && continue
      case " ${allowed_headers[$dir]:-} " in *" $(basename "$name") "*) continue ;; esac
      case " ${allowed[$dir]} " in
        *" $from "*) ;;
        *) echo "$file includes $name from $from"; bad=1 ;;
      esac
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
  done
done
[ $bad -eq 0 ] && echo "check-layers: every include runs downwards"
exit $bad
