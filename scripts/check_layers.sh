#!/usr/bin/env bash
# Fails when an include crosses the layers the wrong way:
#   session/    (the protocol) includes only session/ and the session state;
#   chatwindow/ and login/ (the two windows, with their subfolders) do not include each other: what joins
#               them lives in shell/, the one folder that knows both.
# usage: check_layers.sh SOURCE_DIR
set -euo pipefail
cd "$1"
status=0
# $1: folder; $2: extended pattern of the includes it may not have, $3: those it may
# have after all.
check() {
    local line
    while IFS= read -r line; do
        echo "$line: $1/ may not include this" >&2
        status=1
    done < <(find "$1" -name '*.h' -o -name '*.cpp' | sort |
        xargs grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' |
        grep -E "include[[:space:]]+\"($2)" | { [ -n "$3" ] && grep -vE "\"($3)\"" || cat; })
}
check session '[^"]*' 'session/[^"]*|shell/session_state\.h'
check chatwindow 'login/' ''
check login 'chatwindow/' ''
exit $status
