#!/usr/bin/env bash
# Every allocation of a command, refused in turn: orlimo must report that
# memory ran out, exit 71, write nothing to standard output and leave the
# destination exactly as it was; past the last allocation it succeeds.
# Usage: out_of_memory_test.sh PATH/TO/orlimo_failing_allocation
set -euo pipefail

ORLIMO=$(realpath "$1")
EXAMPLE=$(cd "$(dirname "$0")/../../examples" && pwd)/skin.html
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs one command line with the K-th allocation refused until one succeeds.
refuse_each_allocation() {
    local k status
    for ((k = 1; k <= 5000; k++)); do
        cp "$EXAMPLE" skin.html
        printf 'the destination as it was\n' >dest.html
        set +e
        ORLIMO_FAIL_ALLOCATION=$k "$ORLIMO" "$@" >out 2>err
        status=$?
        set -e
        if [ "$status" -eq 0 ]; then
            echo "'$*': succeeded once $((k - 1)) allocations had been refused in turn"
            return 0
        fi
        [ "$status" -eq 71 ] || fail "'$*', allocation $k: status $status: $(cat err)"
        grep -qF "out of memory" err || fail "'$*', allocation $k: stderr $(cat err)"
        [ ! -s out ] || fail "'$*', allocation $k: wrote to standard output"
        cmp -s skin.html "$EXAMPLE" || fail "'$*', allocation $k: input changed"
        [ "$(cat dest.html)" = 'the destination as it was' ] ||
            fail "'$*', allocation $k: destination changed"
        [ -z "$(find . -name '.orlimo-*')" ] || fail "'$*', allocation $k: temporary file left"
    done
    fail "'$*' still failing after $k allocations"
}

refuse_each_allocation apply skin.html
refuse_each_allocation apply skin.html -o dest.html
refuse_each_allocation remove -o dest.html skin.html
refuse_each_allocation apply -i skin.html
