# Sourced by the desktop tests: a scratch folder, the processes the test started
# (their ids in the variables named in `started_processes`) ended when it ends,
# and the checks counted. A missing tool fails the test: CI must install it
# (scripts/setup), not skip it.
set -euo pipefail

work=$(mktemp -d)
failures=0
started_processes=()

# Each process is waited for, so that the next test's X server never starts
# while this one's is still going down (5 s at most, then it is killed).
end_process() {  # end_process PID
  kill "$1" 2>/dev/null || return 0
  (sleep 5; kill -9 "$1" 2>/dev/null) &
  local killer=$!
  wait "$1" 2>/dev/null || true
  kill "$killer" 2>/dev/null || true
}

cleanup() {
  local name
  for name in "${started_processes[@]}"; do
    [ -n "${!name:-}" ] && end_process "${!name}"
  done
  if [ -n "${DESKTOP_KEEP:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

need_tools() {  # need_tools TOOL...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
  done
}

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}
