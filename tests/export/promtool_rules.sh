#!/usr/bin/env bash
# The alerting rules shipped with the package: promtool finds them valid and
# their unit tests pass. Usage: promtool_rules.sh RULES TESTS
set -uo pipefail
command -v promtool >/dev/null || { echo "SKIP: promtool is not installed"; exit 77; }
rules="$1" tests="$2"
promtool check rules "$rules" || { echo "FAIL: promtool check rules"; exit 1; }
# The test file names the rules file relative to itself.
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cp "$rules" "$dir/velmon.rules.yml"
cp "$tests" "$dir/velmon.rules.test.yml"
cd "$dir" && promtool test rules velmon.rules.test.yml || { echo "FAIL: promtool test rules"; exit 1; }
echo PASS
