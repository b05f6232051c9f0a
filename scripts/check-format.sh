#!/usr/bin/env bash
# Fails, naming them, when tracked C++ files differ from what clang-format makes of them with
# the checked-in .clang-format. scripts/setup.sh installs clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
((${#files[@]})) || { echo "check-format: git lists no C++ files here" >&2; exit 1; }
differ=()
for file in "${files[@]}"; do
  clang-format --style=file "$file" | cmp -s - "$file" || differ+=("$file")
done
if ((${#differ[@]})); then
  echo "These files differ from .clang-format; format them with clang-format -i:" >&2
  printf '  %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "formatting: all ${#files[@]} tracked C++ files match .clang-format"
