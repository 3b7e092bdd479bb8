#!/usr/bin/env bash
# Checks that the libraries stack one way and that every include says which layer it reaches: a
# folder includes headers only from the folders it is allowed to build on, each written from the
# top of the tree ("camera/ZkSetting.h"). An include is judged by the file it resolves to (from
# the top of the tree, else beside the including file, else a bare name by the folder that holds
# that header). Prints each include that breaks a rule and fails if there is one.
# Usage: scripts/check-layers.sh [TREE]   (TREE: another copy of the sources; default this one)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

# Folder -> the folders whose headers it may include (besides its own), lowest first.
declare -A allowed=(
  [platform]=""
  [config]=""
  [camera]="platform"
  [session]="camera"
  [resources]=""
  [shell]="platform config camera resources"
  [liveview]="shell platform config resources"
  [settings]="shell platform config camera resources"
  [updater]="shell platform config resources"
  [ctl]="camera platform config"
  [app]="shell platform config camera session liveview settings updater resources"
)

# Which folder holds each header name, for includes that name none.
declare -A owner=()
for dir in "${!allowed[@]}"; do
  while IFS= read -r header; do owner[$(basename "$header")]=$dir; done < <(find "$dir" -type f -name '*.h')
done

# The path from the top of the tree that an include of a file resolves to; empty when it names
# no file of the tree (a generated .moc). The configuration header is generated from its .in.
resolved() {
  local file=$1 name=$2 here
  here=$(dirname "$file")
  if [ -f "$root/$name" ] || [ -f "$root/$name.in" ]; then
    realpath -m --relative-to="$root" "$root/$name"
  elif [ -f "$here/$name" ]; then
    realpath -m --relative-to="$root" "$here/$name"
  elif [ -n "${owner[$(basename "$name")]:-}" ]; then
    echo "${owner[$(basename "$name")]}/$(basename "$name")"
  fi
}

bad=0
for dir in "${!allowed[@]}"; do
  while IFS= read -r file; do
    while IFS= read -r name; do
      target=$(resolved "$file" "$name")
      [ -n "$target" ] || continue
      from=${target%%/*}
      if [ "$target" != "$name" ]; then
        echo "$file includes $name, which names no folder (write \"$target\")"; bad=1
      fi
      [ "$from" = "$dir" ] && continue
      case " ${allowed[$dir]} " in
        *" $from "*) ;;
        *) echo "$file includes $name from $from"; bad=1 ;;
      esac
    done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$file")
  done < <(find "$dir" -type f \( -name '*.cpp' -o -name '*.h' \))
done
[ $bad -eq 0 ] && echo "check-layers: every include names its folder and runs downwards"
exit $bad
