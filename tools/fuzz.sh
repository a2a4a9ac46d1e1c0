#!/usr/bin/env bash
# Builds the fuzz targets natively with clang's libFuzzer and runs each for a while.
#   tools/fuzz.sh [seconds per target]     (default 10; the test suite runs it for 10 s)
# A longer hunt: tools/fuzz.sh 600. Findings are written to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
tools/deps.sh
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 >/dev/null
mkdir -p build-fuzz/findings
status=0
for target in settings:300 command_line:40000 launch_command:400 about_text:400 text_search:2000; do
    name=${target%%:*}
    work=build-fuzz/corpus-$name
    mkdir -p "$work"
    if ./build-fuzz/fuzz_$name -max_total_time="$seconds" -max_len="${target#*:}" \
        -artifact_prefix=build-fuzz/findings/ "$work" "tests/fuzz/corpus/$name" \
        >"build-fuzz/fuzz_$name.log" 2>&1; then
        echo "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "build-fuzz/fuzz_$name.log"), no failure"
    else
        echo "fuzz_$name: FAILED, see build-fuzz/fuzz_$name.log and build-fuzz/findings/"
        status=1
    fi
done
exit $status
