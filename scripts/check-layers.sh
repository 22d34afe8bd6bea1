#!/usr/bin/env bash
# Fails when a folder includes a layer it must not use. Each layer uses only
# the layers below it; sim/ and the programs meet only in protocol/ and
# platform/, and only a program's main() (the composition root) names sim/.
# Usage: check-layers.sh [source folder]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

# folder: the project folders it may include from
declare -A allowed=(
  [platform]="platform"
  [devkit]="devkit platform"
  [ui]="ui platform"
  [protocol]="protocol platform"
  [sim]="sim protocol platform"
  [records]="records platform"
  [vantor]="vantor ui protocol devkit records platform"
  [pellam]="pellam ui protocol devkit records platform"
)
layers="platform devkit ui protocol sim records vantor pellam"
composition_root='/main\.cpp$'

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}; line=${rest%%:*}
    target=$(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^/"]+)\/.*/\1/p' <<<"${rest#*:}")
    [ -n "$target" ] || continue
    case " $layers " in *" $target "*) ;; *) continue ;; esac
    case " ${allowed[$folder]} " in *" $target "*) continue ;; esac
    if [ "$target" = sim ] && [[ $file =~ $composition_root ]]; then continue; fi
    echo "$file:$line: $folder/ must not include $target/"
    status=1
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$folder" --include='*.h' --include='*.cpp')
done
[ $status -eq 0 ] && echo "layers: ok"
exit $status
