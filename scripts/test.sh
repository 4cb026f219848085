#!/usr/bin/env bash
# Installs what the build and the tests need, builds Wavecrest and runs the
# tests under a private X server, in two runs:
#   1. the normal build (build/): unit, GUI, end-to-end and package tests,
#      then the start-up benchmark against the mpv command-line player
#      (bench/start/start_bench.py), whose table is printed at the end; its
#      figures never fail the run;
#   2. the AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/):
#      unit, GUI and end-to-end tests; any sanitizer report fails the run,
#      also one from a program a test started and did not check.
# Usage: scripts/test.sh [--quick | --sanitize]
#   --quick     only the normal run
#   --sanitize  only the sanitizer run
# Both builds treat warnings in the program's own code as errors.
# A failing test run does not stop the other run; the exit status is non-zero
# when anything failed. The end lists the seconds each phase took.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

normal_run=1
sanitizer_run=1
case "${1:-}" in
    "") ;;
    --quick) sanitizer_run=0 ;;
    --sanitize) normal_run=0 ;;
    *)
        echo "usage: scripts/test.sh [--quick | --sanitize]" >&2
        exit 2
        ;;
esac

jobs=$(nproc)
timings=()
failures=()
started=$SECONDS

# report_failed_tests FOLDER: names the tests of the last run in FOLDER that
# failed, each with the end of its output, so that a log cut to its last
# lines still says what went wrong.
report_failed_tests() {
    local folder=$1 name
    local failed=$folder/Testing/Temporary/LastTestsFailed.log
    [ -s "$failed" ] || return 0
    [ "$failed" -nt "$folder/ctest-started" ] || return 0
    while IFS=: read -r _ name; do
        echo "  failed in $folder/: $name"
        awk -v name="$name" '
            $0 ~ "Test: " name "$" { inside = 1; next }
            inside && /^<end of output>$/ { exit }
            inside { print }
        ' "$folder/Testing/Temporary/LastTest.log" | tail -n 20 | sed 's/^/    | /'
    done < "$failed"
}

summary() {
    local status=$?
    echo
    echo "== Summary"
    local line
    for line in "${timings[@]}"; do
        echo "  $line"
    done
    printf '  %-32s %5d s\n' "total" $((SECONDS - started))
    # Figures that tests measured (package size, start-up time).
    if [ -f build/Testing/Temporary/LastTest.log ] && [ "$normal_run" = 1 ]; then
        grep -ho 'figure: .*' build/Testing/Temporary/LastTest.log | sed 's/^figure: /  /' || true
    fi
    if [ -s "${bench_table:-}" ]; then
        sed -n '/^Start-up benchmark/,$p' "$bench_table" | sed 's/^/  /'
    fi
    if [ ${#failures[@]} -gt 0 ]; then
        report_failed_tests build
        report_failed_tests build-asan
        echo "  FAILED: ${failures[*]}"
        [ "$status" -ne 0 ] || status=1
    elif [ "$status" -ne 0 ]; then
        echo "  FAILED (exit status $status)"
    else
        echo "  all passed"
    fi
    exit "$status"
}
trap summary EXIT

# phase NAME COMMAND...: runs the command and notes how long it took; its
# exit status is returned.
phase() {
    local name=$1
    shift
    echo
    echo "== $name"
    local begin=$SECONDS status=0
    "$@" || status=$?
    timings+=("$(printf '%-32s %5d s' "$name" $((SECONDS - begin)))")
    return "$status"
}

# The tests of one build folder under a private X server; extra arguments go
# to ctest.
run_tests() {
    local folder=$1
    shift
    touch "$folder/ctest-started"
    (cd "$folder" && "$top/scripts/with-display.sh" \
        ctest --output-on-failure -j "$jobs" --timeout 600 "$@")
}

# The start-up benchmark, once, on the normal build; what it printed is kept
# for the summary.
bench_table=$top/build/bench-start.txt
run_benchmark() {
    "$top/scripts/with-display.sh" python3 "$top/bench/start/start_bench.py" \
        --build "$top/build" | tee "$bench_table"
}

# Sanitizer reports are written to files (one a process) rather than to
# standard error, so that a report from a program whose exit status no test
# looks at (an end-to-end test's wavecrest that it kills, a helper) is seen
# too. Every report ends with a SUMMARY line.
reports=$top/build-asan/sanitizer-reports
check_sanitizer_reports() {
    local found=0 file
    for file in "$reports"/report.*; do
        [ -e "$file" ] || continue
        if grep -q -e '^SUMMARY: ' -e 'ERROR: ' -e 'runtime error: ' "$file"; then
            echo "---- sanitizer report $file"
            cat "$file"
            found=1
        else
            echo "---- sanitizer message (not an error) $file"
            head -n 5 "$file"
        fi
    done
    if [ "$found" = 1 ]; then
        echo "test.sh: the sanitizers reported errors (above)" >&2
        return 1
    fi
}

phase "install dependencies" scripts/install-deps.sh --with-tests

if [ "$normal_run" = 1 ]; then
    phase "build (build/)" scripts/build.sh -DWAVECREST_WERROR=ON
    phase "tests (build/, all)" run_tests build || failures+=("tests in build/")
    rm -f "$bench_table"
    phase "benchmark (build/)" run_benchmark || echo "test.sh: the benchmark did not finish" >&2
fi

if [ "$sanitizer_run" = 1 ]; then
    phase "build (build-asan/)" scripts/build.sh --sanitize -DWAVECREST_WERROR=ON
    rm -rf "$reports"
    mkdir -p "$reports"
    # Errors end the process with a non-zero status: ASan exits with 1 at the
    # first error, LeakSanitizer with 23 when it finds a leak at exit, and
    # UBSan (built with -fno-sanitize-recover) halts at the first report.
    export LSAN_OPTIONS="suppressions=$top/tests/support/lsan.supp:print_suppressions=0:log_path=$reports/report"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:log_path=$reports/report"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/report"
    # The sanitizer build runs several times slower: tests scale their time
    # limits by this factor.
    export WAVECREST_TIME_SCALE=3
    # The package test changes the machine and is the normal build's.
    phase "tests (build-asan/, no package)" run_tests build-asan -LE package \
        || failures+=("tests in build-asan/")
    unset LSAN_OPTIONS ASAN_OPTIONS UBSAN_OPTIONS WAVECREST_TIME_SCALE
    check_sanitizer_reports || failures+=("sanitizer reports")
fi
