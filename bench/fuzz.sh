#!/bin/sh
# Builds every fuzz target with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, then runs them two at a time for MINUTES
# minutes each. Crashes, leaks, timeouts and running out of memory land in
# FINDINGS/<target>/ as the inputs that caused them; the inputs that found
# new code go into FINDINGS/<target>/corpus (the saved corpus under
# fuzz/corpus stays as it is). A summary of every run is printed at the end.
#
#   bench/fuzz.sh MINUTES [TARGET...]
#
# Environment: BUILD (default build-fuzz), FINDINGS (default fuzz-findings),
# JOBS (parallel runs, default 2). On a machine shared with timing runs, take
# the lock first: flock /tmp/quillmoth-cpu.lock bench/fuzz.sh 10
set -eu

minutes=${1:?usage: bench/fuzz.sh MINUTES [TARGET...]}
shift
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$source_dir/build-fuzz}
findings=${FINDINGS:-$source_dir/fuzz-findings}
jobs=${JOBS:-2}
all_targets="tags_mp3 tags_mp4 tags_aiff tags_wav tags_other image_measure plist_library settings drop_mime"
targets=${*:-$all_targets}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz.sh needs clang with libFuzzer: sudo apt-get install clang" >&2
    exit 1
fi

max_len_of() {
    case $1 in
    tags_*) echo 65536 ;;
    image_measure | plist_library) echo 32768 ;;
    *) echo 8192 ;;
    esac
}

cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DQUILLMOTH_FUZZ=ON \
    -DQUILLMOTH_BUILD_TESTS=OFF -DQUILLMOTH_BUILD_BENCH=OFF >/dev/null
programs=
for target in $targets; do
    programs="$programs quillmoth_fuzz_$target"
done
# shellcheck disable=SC2086
cmake --build "$build" -j"$jobs" --target $programs

run_one() {
    target=$1
    out=$findings/$target
    mkdir -p "$out/corpus"
    : >"$out/log.txt"
    echo "$(date +%T) $target: $minutes min"
    # libFuzzer stops at the first finding: the run starts again on the
    # grown corpus until its time is used up (at most 20 starts, so that one
    # fault found at once does not spin).
    deadline=$(($(date +%s) + minutes * 60))
    starts=0
    while [ "$starts" -lt 20 ]; do
        left=$((deadline - $(date +%s)))
        [ "$left" -gt 5 ] || break
        starts=$((starts + 1))
        # Qt's own allocations outlive the input: leak checking would report
        # them on every run, not the engine's.
        QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            "$build/fuzz/quillmoth_fuzz_$target" \
            -max_total_time="$left" -max_len="$(max_len_of "$target")" \
            -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$out/" \
            "$out/corpus" "$source_dir/fuzz/corpus/$target" \
            >>"$out/log.txt" 2>&1 || true
    done
}

# Two at a time: the targets are queued and each slot takes the next.
queue=$(mktemp)
echo "$targets" | tr ' ' '\n' | sed '/^$/d' >"$queue"
slot() {
    while :; do
        target=$(flock "$queue" sh -c 'head -n 1 "$0"; sed -i 1d "$0"' "$queue")
        [ -n "$target" ] || break
        run_one "$target"
    done
}
i=0
while [ "$i" -lt "$jobs" ]; do
    slot &
    i=$((i + 1))
done
wait
rm -f "$queue"

echo
printf '%-14s %12s %10s %8s %8s %s\n' target execs exec/s cov ft findings
for target in $targets; do
    log=$findings/$target/log.txt
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" |
        awk '{ n += $1 } END { print n + 0 }')
    speed=$((execs / (minutes * 60)))
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    found=$(find "$findings/$target" -maxdepth 1 -type f \
        \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    printf '%-14s %12s %10s %8s %8s %s\n' "$target" "${execs:-?}" "${speed:-?}" "${cov:-?}" \
        "${ft:-?}" "$found"
done
echo "findings and logs: $findings"
