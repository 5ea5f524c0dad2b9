#!/usr/bin/env bash
# Notes the Game.ini files under a folder, or fails when one is new or changed since.
# usage: settings_files.sh note|check FOLDER STATE_FILE
set -euo pipefail
mode=$1
folder=$2
state=$3
list() { find "$folder" -name Game.ini -printf '%p %T@ %s\n' 2>/dev/null | sort; }
case "$mode" in
note) list >"$state" ;;
check)
    changed=$(comm -13 "$state" <(list))
    if [ -n "$changed" ]; then
        echo "A test wrote Game.ini outside a temporary folder:"
        echo "$changed"
        exit 1
    fi
    echo "no Game.ini written in $folder"
    ;;
*) echo "usage: settings_files.sh note|check FOLDER STATE_FILE" >&2; exit 2 ;;
esac
