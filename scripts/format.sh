#!/usr/bin/env bash
# clang-format with the repo's .clang-format over every tracked *.cpp and *.h.
# Usage: scripts/format.sh check|apply — check changes nothing, lists the files that differ and fails if any do.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format: install Debian's clang-format (make bootstrap)" >&2; exit 1; }
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')

if [ "${1:-}" = apply ]; then
    printf '%s\0' "${files[@]}" | xargs -0 -r clang-format -i
    exit 0
fi
[ "${1:-}" = check ] || { echo "usage: $0 check|apply" >&2; exit 2; }

differ=()
for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || differ+=("$f")
done
if [ ${#differ[@]} -gt 0 ]; then
    echo "format-check: ${#differ[@]} of ${#files[@]} files differ from clang-format (make format rewrites them):" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
echo "format-check: all ${#files[@]} files formatted"
