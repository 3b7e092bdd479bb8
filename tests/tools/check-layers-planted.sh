#!/usr/bin/env bash
# The include check against copies of the sources: the tree as it is passes, and each planted
# include that climbs a layer (by a relative path, by the top of the tree, by bare name) or names
# no folder fails it and is named in its report.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

copy() {
  rm -rf "$work/tree" && mkdir -p "$work/tree"
  (cd "$root" && find . \( -path './build*' -o -path ./.git \) -prune -o \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print0 \
    | xargs -0 cp --parents -t "$work/tree")
}

copy
"$root/scripts/check-layers.sh" "$work/tree" >/dev/null

status=0
for plant in 'camera/ZkSetting.h|../app/ClMainWidget.h' 'session/ClKD4Mgr.h|shell/ClVexaStyle.h' \
  'settings/ClWheelGuard.h|ClMainContentWidget.h' 'liveview/ClImageView2.h|ClVexaStyle.h' \
  'platform/ClPlatform.h|config/kd4_config.h'; do
  file=${plant%%|*} include=${plant#*|}
  copy
  printf '#include "%s"\n' "$include" >>"$work/tree/$file"
  if out=$("$root/scripts/check-layers.sh" "$work/tree" 2>&1); then
    echo "FAIL: $file including $include passed the check"; status=1
  elif ! grep -qF "$file includes $include" <<<"$out"; then
    echo "FAIL: the report does not name $file including $include: $out"; status=1
  else
    echo "ok: $file including $include is refused"
  fi
done
exit $status
