#!/bin/bash
# tools/ctest-second-run.sh on a small CTest project of its own: a test that
# fails once and then passes is named as passed only on the second run (and
# the run passes); a test that always fails fails the run and is not named; a
# run whose tests all pass names none, even after a run that left a failure
# list behind.
# Usage: ctest_second_run_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
SOURCE_DIR=$1
WORK=$2
SCRIPT="$SOURCE_DIR/tools/ctest-second-run.sh"

problems=0
problem() { echo "ctest_second_run_test: $*" >&2; problems=$((problems + 1)); }

rm -rf "$WORK" && mkdir -p "$WORK/project" || exit 1
# "flaky" fails while its mark file is missing (and leaves the mark).
cat >"$WORK/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(second_run NONE)
enable_testing()
add_test(NAME passes COMMAND true)
add_test(NAME flaky COMMAND sh -c "[ -e '${CMAKE_BINARY_DIR}/mark' ] || { touch '${CMAKE_BINARY_DIR}/mark'; exit 1; }")
add_test(NAME broken COMMAND false)
CMAKE
cmake -S "$WORK/project" -B "$WORK/build" >/dev/null || { echo "cannot configure the project" >&2; exit 1; }

# Runs the script with CTest arguments; sets rc, names (the summary, one line) and output.
run() {
  output=$("$SCRIPT" "$WORK/build" "$WORK/summary.txt" "$@" 2>&1)
  rc=$?
  names=$(paste -sd' ' "$WORK/summary.txt")
}

rm -f "$WORK/build/mark"
run -R 'passes|flaky'
[ $rc -eq 0 ] || problem "a test that passed on its second run failed the run ($rc): $output"
[ "$names" = flaky ] || problem "listed \"$names\" instead of flaky"
grep -q 'passed only on the second run: flaky$' <<<"$output" || problem "flaky not named at the end: $output"

rm -f "$WORK/build/mark"
run
[ $rc -ne 0 ] || problem "a test that always fails passed the run"
[ "$names" = flaky ] || problem "with a broken test: listed \"$names\" instead of flaky"

# The last run left "broken" in CTest's failure list; a passing run names nothing.
run -R passes
[ $rc -eq 0 ] || problem "a passing run failed ($rc): $output"
[ -z "$names" ] || problem "a passing run listed \"$names\""
grep -q 'second run' <<<"$output" && problem "a passing run ran or named a second run: $output"

[ $problems -eq 0 ] && echo "ctest_second_run_test: passed"
[ $problems -eq 0 ]
