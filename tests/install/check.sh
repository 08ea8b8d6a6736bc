# Shared by the install tests: checks that count and report, and the tools
# they need.

checks_failed=0
checks_passed=0

# check DESCRIPTION COMMAND...: runs COMMAND, counts and reports the result.
check() {
  local description=$1
  shift
  if "$@"; then
    checks_passed=$((checks_passed + 1))
  else
    checks_failed=$((checks_failed + 1))
    echo "FAILED: $description" >&2
  fi
}

# Reports the count and exits with the tests' result.
finish_checks() {
  echo "$checks_passed passed, $checks_failed failed"
  [ "$checks_failed" -eq 0 ]
}

# require_tools TOOL...: every tool must be there. Outside CI a missing tool
# skips the test (exit 77); in CI, where scripts/setup installs them, it fails.
require_tools() {
  local tool missing=()
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "missing tools: ${missing[*]} (scripts/setup installs them with IFS_NEEDS=tests)" >&2
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
}
