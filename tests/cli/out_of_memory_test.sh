#!/usr/bin/env bash
# Every allocation of a command refused in turn: orlimo_test.sh's
# out_of_memory_at_every_allocation, run on the test build that refuses one.
# Usage: out_of_memory_test.sh PATH/TO/orlimo_failing_allocation
exec bash "$(dirname "$0")/orlimo_test.sh" "$1" out_of_memory_at_every_allocation
