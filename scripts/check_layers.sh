#!/usr/bin/env bash
# Fails when a file includes from a folder its layer may not use. The layers, from the
# bottom up, and the folders each may include from besides its own:
#   shell/base             -
#   session                shell/base
#   chatwindow/transcript  session, shell/base
#   chatwindow             chatwindow/transcript, session, shell/base
#   login                  session, shell/base
#   shell                  chatwindow (and its transcript), login, session, shell/base
# A folder's subfolders are layers of their own: chatwindow/ is not chatwindow/transcript/.
# usage: check_layers.sh SOURCE_DIR
set -euo pipefail
cd "$1"
status=0

# check FOLDER ALLOWED...: every quoted include of a source or header directly in FOLDER
# names a file in FOLDER itself or in one of the ALLOWED folders (or their subfolders).
check() {
    local folder=$1 file line number target dir ok allowed
    shift
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS=: read -r number line; do
            target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]*)".*/\1/' <<<"$line")
            dir=$(dirname "$target")
            ok=0
            [ "$dir" = "$folder" ] && ok=1
            for allowed in "$@"; do
                case "$dir/" in "$allowed"/*) ok=1 ;; esac
            done
            if [ "$ok" -eq 0 ]; then
                echo "$file:$number: #include \"$target\": $folder/ may not use $dir/" \
                    "(it may use ${*:-nothing but itself})" >&2
                status=1
            fi
        done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$file" || true)
    done
}

check shell/base
check session shell/base
check chatwindow/transcript session shell/base
check chatwindow chatwindow/transcript session shell/base
check login session shell/base
check shell chatwindow login session shell/base
exit $status
