#!/usr/bin/env bash
# Runs a Windows test program under Wine in the project's own test prefix.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${TEST_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
"$here/prepare-prefix.sh" "$WINEPREFIX" || exit 1
exec wine "$@"
