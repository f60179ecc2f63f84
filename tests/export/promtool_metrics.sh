#!/usr/bin/env bash
# promtool check metrics on the exposition text of every known state.
# Usage: promtool_metrics.sh EXPOSITION_SAMPLES
set -uo pipefail
command -v promtool >/dev/null || { echo "SKIP: promtool is not installed"; exit 77; }
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
"$1" "$dir" || { echo "FAIL: the samples were not written"; exit 1; }
count=0
for f in "$dir"/*.prom; do
    [ -e "$f" ] || break
    # promtool prints its findings and exits non-zero on errors and on lint problems.
    if ! out="$(promtool check metrics <"$f" 2>&1)" || [ -n "$out" ]; then
        echo "FAIL: promtool check metrics on $(basename "$f"):"
        echo "$out"
        exit 1
    fi
    echo "ok: $(basename "$f")"
    count=$((count + 1))
done
[ "$count" -ge 6 ] || { echo "FAIL: only $count samples"; exit 1; }
echo "PASS: $count samples"
