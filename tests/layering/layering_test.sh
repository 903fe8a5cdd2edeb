#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of a
# folder under src/ that is no known layer. Usage: layering_test.sh ROOT
# (ROOT holds src/ and tools/).
set -euo pipefail
root=$1

# What each layer may include, itself among them.
declare -A allowed=(
  [base]="base"
  [acquire]="base acquire"
  [record]="base acquire record"
  [link]="base link"
  [system]="base system"
  # Link quality: plain figures and files; its Qt pages sit beside the window.
  [quality]="base acquire quality"
  [quality_report]="base acquire quality quality_report"
  [control]="base acquire record link system quality control"
  [ui]="base acquire record link system quality quality_report control ui"
  [app]="base acquire record link system quality quality_report control ui app"
  # The programs beside the window: anything but the window program itself.
  [tools]="base acquire record link system quality quality_report control ui"
)

bad=0
check() {  # file, its layer
  local file=$1 layer=$2 target
  while IFS= read -r target; do
    case " ${allowed[$layer]} " in
      *" $target "*) ;;
      *)
        if [ -n "${allowed[$target]+x}" ] || [ -d "$root/src/$target" ]; then
          echo "${file#"$root"/}: $layer includes $target/ (a higher or unrelated layer)"
          bad=1
        fi
        ;;
    esac
  done < <(sed -nE 's@^[[:space:]]*#[[:space:]]*include[[:space:]]*"(\.\./)*([A-Za-z_]+)/.*@\2@p' "$file")
  if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"\.\./' "$file" >/dev/null; then
    echo "${file#"$root"/}: includes by a relative path upwards"
    bad=1
  fi
}

for dir in "$root"/src/*/; do
  layer=$(basename "$dir")
  if [ -z "${allowed[$layer]+x}" ]; then
    echo "src/$layer: not a known layer; add it to $(basename "$0") with what it may use"
    bad=1
    continue
  fi
  while IFS= read -r -d '' f; do check "$f" "$layer"; done \
    < <(find "$dir" \( -name '*.h' -o -name '*.cpp' \) -print0)
done
if [ -d "$root/tools" ]; then
  while IFS= read -r -d '' f; do check "$f" tools; done \
    < <(find "$root/tools" \( -name '*.h' -o -name '*.cpp' \) -print0)
fi

if [ "$bad" -ne 0 ]; then
  echo "layering: FAILED"
  exit 1
fi
echo "layering: every include points down"
