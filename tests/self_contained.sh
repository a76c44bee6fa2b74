#!/usr/bin/env bash
# Nothing the build or the tests use may lie outside the repository: a clone
# anywhere else must build and pass. Fails on any tracked file that reaches
# into the folder beside the checkout.
set -u
cd "$(dirname "$0")/.."
outside="../""shared"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    hits=$(git ls-files -z | xargs -0 grep -n -I -F -- "$outside" 2>/dev/null)
else
    hits=$(grep -r -n -I -F --exclude-dir=build --exclude-dir=build32 -- "$outside" . 2>/dev/null)
fi
if [ -n "$hits" ]; then
    echo "These lines read outside the repository:"
    echo "$hits"
    exit 1
fi
echo "no file reads outside the repository"
