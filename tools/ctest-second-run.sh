#!/bin/bash
# Runs CTest in a build folder, then runs once more the tests that failed:
# Wine's process start-up on a loaded machine now and then loses a test before
# it begins, while a real fault fails both times (the first failure stays in
# the log). A test that passed only on its second run is flaky all the same:
# each is named at the end of the run and written, one name a line, to
# SUMMARY_FILE, so that it is seen and mended rather than hidden.
# Exit status: that of the last CTest run.
# Usage: ctest-second-run.sh BUILD_DIR SUMMARY_FILE [CTest arguments...]
set -uo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR SUMMARY_FILE [CTest arguments...]" >&2; exit 2; }
BUILD_DIR=$1
SUMMARY_FILE=$2
shift 2
FAILED_LOG="$BUILD_DIR/Testing/Temporary/LastTestsFailed.log"

# Names of the tests CTest's last run left in its failure list ("number:name" lines).
failed_names() { [ -s "$FAILED_LOG" ] && cut -d: -f2- "$FAILED_LOG"; }

: >"$SUMMARY_FILE" || exit 2
# CTest keeps the failure list of an earlier run when every test passes.
rm -f "$FAILED_LOG"
OUTPUT=$(mktemp)
trap 'rm -f "$OUTPUT"' EXIT
ctest --test-dir "$BUILD_DIR" --output-on-failure "$@" 2>&1 | tee "$OUTPUT"
rc=${PIPESTATUS[0]}
# Listing a test program's cases is a Wine start of its own: when one of those
# is lost, CTest stops before running any test. The whole run goes once more,
# and the lost listing is named like a flaky test.
if [ $rc -ne 0 ] && [ ! -s "$FAILED_LOG" ] && grep -q "Error running test executable" "$OUTPUT"; then
  lost=$(grep -m1 "Path: " "$OUTPUT" | sed "s/.*Path: //")
  echo "ctest-second-run.sh: listing the cases of a test program failed; running CTest once more"
  printf 'listing %s\n' "$lost" >>"$SUMMARY_FILE"
  ctest --test-dir "$BUILD_DIR" --output-on-failure "$@"
  rc=$?
fi
if [ $rc -ne 0 ] && [ -s "$FAILED_LOG" ]; then
  mapfile -t first < <(failed_names)
  echo "ctest-second-run.sh: running the failed tests once more: ${first[*]}"
  ctest --test-dir "$BUILD_DIR" --output-on-failure "$@" --rerun-failed
  rc=$?
  # A run that passed leaves the old list behind; one that failed wrote a new one.
  still=()
  [ $rc -eq 0 ] || mapfile -t still < <(failed_names)
  for name in "${first[@]}"; do
    printf '%s\n' "${still[@]}" | grep -qxF -- "$name" || printf '%s\n' "$name" >>"$SUMMARY_FILE"
  done
fi
if [ -s "$SUMMARY_FILE" ]; then
  echo "ctest-second-run.sh: passed only on the second run: $(paste -sd' ' "$SUMMARY_FILE")"
fi
exit $rc
