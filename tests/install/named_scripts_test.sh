#!/usr/bin/env bash
# Every script the user's and the developers' documents name can be run as
# they show it: a file of the source tree that starts with "#!" and is named
# in README.md or docs/*.md is executable.
# Usage: named_scripts_test.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
source=$(cd "$2" && pwd)
. "$(dirname "$0")/check.sh"

cd "$source" || exit 1
documents=(README.md)
for document in docs/*.md; do [ -f "$document" ] && documents+=("$document"); done

# Paths as the documents write them: words of the form folder/.../name.
named_paths() {
  grep -ohE '(^|[^[:alnum:]_./-])\.?[[:alnum:]_-]+(/[[:alnum:]_.-]+)+' "${documents[@]}" |
    sed -E 's/^[^[:alnum:]_.]//; s/[.]+$//' | sort -u
}
scripts=0
while read -r path; do
  [ -f "$path" ] && [ "$(head -c 2 "$path")" = "#!" ] || continue
  scripts=$((scripts + 1))
  check "$path, named in the documents, is executable" test -x "$path"
done < <(named_paths)
check "the documents name scripts at all ($scripts found)" test "$scripts" -gt 0
finish_checks
