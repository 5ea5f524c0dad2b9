# Sourced by run.sh, test.sh, bench.sh and the scripts: configures and builds a tree.
# shellcheck shell=bash

# build_tree DIR [CMAKE_OPTION...] [--target TARGET...]: configures DIR with Ninja
# (RelWithDebInfo unless an option sets CMAKE_BUILD_TYPE) and builds the targets named
# after --target, or everything.
build_tree() {
    local dir=$1 options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) targets=()
    shift
    while [ $# -gt 0 ]; do
        if [ "$1" = --target ]; then
            shift
            targets+=("$@")
            break
        fi
        options+=("$1")
        shift
    done
    cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
    cmake --build "$dir" ${targets[@]+--target "${targets[@]}"}
}
