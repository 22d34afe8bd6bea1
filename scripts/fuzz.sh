#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) with clang's libFuzzer for a
# given time each, and prints the executions and findings of each.
#
#   scripts/fuzz.sh [--time SECONDS] [--runs N] [--seed N] [--jobs N] [--merge] [target...]
#   scripts/fuzz.sh --campaign [--runs N] [--time SECONDS] [target...]
#
#   --time SECONDS  time per target (default 60; with --campaign a cap, none
#                   by default)
#   --seed N        libFuzzer's random seed (default: a new one each run); with
#                   --runs, a run that finds something finds it again
#   --jobs N        targets run side by side (default 1)
#   --merge         afterwards, merge what the run found into fuzz/corpus/<target>
#                   (only inputs that add coverage): the corpus grows with the
#                   campaign; commit it
#   --campaign      target by target (one at a time unless --jobs), until each
#                   has run --runs executions (default 10,000,000) or its time
#                   cap; merges the corpora and, as each target ends, writes
#                   its row of docs/fuzzing.md (executions, edges covered,
#                   corpus size, findings); docs/fuzzing-findings.md, kept by
#                   hand, says what was found and how it was mended
#   --runs N        executions per target (of a campaign: default 10,000,000;
#                   otherwise no limit but the time)
#
# A campaign target whose row is short of --runs (it reached its time cap, or
# its fuzzer was interrupted with SIGINT: `pkill -INT -x <target>` ends it
# with its statistics and the campaign goes on) continues in the next
# campaign: that runs what is left, from the merged corpus, and the row adds
# the sittings' executions, seconds and findings up.
#
# The build (build-fuzz/) instruments every library a target links, under the
# address and undefined-behaviour sanitizers. Each target keeps a working
# corpus in build-fuzz/corpus/<target> across runs, seeded from
# fuzz/corpus/<target>; crashes, leaks and time-outs land in
# build-fuzz/findings/<target>/. The exit status is 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
time_given=0
jobs=1
jobs_given=0
merge=0
campaign=0
runs=""
seed=""
targets=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --time) seconds="$2"; time_given=1; shift 2 ;;
    --campaign) campaign=1; merge=1; shift ;;
    --runs) runs="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --jobs) jobs="$2"; jobs_given=1; shift 2 ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,38p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done

build=build-fuzz
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}"
if [[ ! -f $build/CMakeCache.txt ]]; then
  # Light optimisation and line tables only: quick to build on a small
  # machine, fast enough to fuzz, and stack traces still name the line.
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
    -DDIAG_FUZZ=ON -DDIAG_SANITIZE=address,undefined -DDIAG_BUILD_TESTS=OFF -DDIAG_BUILD_BENCH=OFF \
    -DDIAG_PCH=OFF >/dev/null
fi
# Only the targets named, when some are: a campaign of one target need not
# wait for the others to build.
if [[ ${#targets[@]} -gt 0 ]]; then
  cmake --build "$build" --target "${targets[@]}"
else
  cmake --build "$build" --target diag_fuzzers
fi

if [[ ${#targets[@]} -eq 0 ]]; then
  for f in fuzz/*.cmake; do
    name=$(basename "$f" .cmake)
    [[ -x $build/bin/$name ]] && targets+=("$name")
  done
fi

# A campaign: no time limit unless one was given, one target at a time.
if [[ $campaign -eq 1 ]]; then
  [[ $time_given -eq 1 ]] || seconds=0
  [[ -n $runs ]] || runs=10000000
  [[ $jobs_given -eq 1 ]] || jobs=1
fi

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
# A campaign records no allocation stacks: storing them is most of a small
# target's time (with four frames each, a third of it still). A finding's
# input, replayed as a test, shows the full stacks.
[[ $campaign -eq 1 ]] && ASAN_OPTIONS+=":malloc_context_size=0"
export LSAN_OPTIONS="suppressions=$PWD/cmake/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# The targets' scratch files (written for every input) on a memory file
# system where there is one: on disk each truncation is a discard request,
# and the targets run at half the speed.
if [[ -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR; TMPDIR=$(mktemp -d /dev/shm/diag-fuzz.XXXXXX)
  trap 'rm -rf "$TMPDIR"' EXIT
fi

# docs/fuzzing.md keeps one row per target: a campaign target that ends
# replaces its row at once, so a campaign stopped half way (or run target by
# target over several sittings) keeps what it reached; rows of targets not
# run this time stay as they were.
doc=docs/fuzzing.md
# The table's rows, one a line: name execs edges corpus found seconds date.
doc_rows() {
  [[ -f $doc ]] || return 0
  sed -n 's/^| `\([^`]*\)` | \(.*\) |$/\1 | \2/p' "$doc" | tr -d '|'
}
update_doc() {
  local row=$1 name
  name=${row%% *}
  (
    flock 9
    local rows; rows=$(mktemp)
    doc_rows | awk -v n="$name" '$1 != n' >"$rows"
    echo "$row $(date -u +%Y-%m-%d)" >>"$rows"
    sort -o "$rows" "$rows"
    {
      echo "# Fuzzing"
      echo
      echo "\`scripts/fuzz.sh --campaign\` runs every target of \`fuzz/\` one at a time, built with"
      echo "clang's libFuzzer and the address and undefined-behaviour sanitizers (every"
      echo "library of this project that a target links instrumented; Qt is the system's),"
      echo "until it has made the campaign's executions (ten million by default) or"
      echo "reached its time cap. Each row is the last campaign of that target; a target"
      echo "stopped short of the executions (time cap, or interrupted) goes on in the next"
      echo "campaign from the merged corpus, and its row adds the sittings up. The grown"
      echo "corpora are merged into \`fuzz/corpus/<target>\` (inputs that add coverage"
      echo "only) and replayed as tests in every build."
      echo
      echo "| Target | Executions | Edges covered | Corpus (files) | Findings | Seconds | Date |"
      echo "|---|---:|---:|---:|---:|---:|---|"
      while read -r n e c k f t d; do
        printf '| `%s` | %s | %s | %s | %s | %s | %s |\n' "$n" "$e" "$c" "$k" "$f" "$t" "$d"
      done <"$rows"
      echo
      echo "Findings open (a row with findings above; inputs in \`build-fuzz/findings/<target>/\`):"
      echo
      awk '$5 > 0 { printf "- `%s`: %s\n", $1, $5; any = 1 } END { if (!any) print "- none" }' "$rows"
      if [[ -f docs/fuzzing-findings.md ]]; then
        echo
        cat docs/fuzzing-findings.md
      fi
    } >"$doc.new"
    mv "$doc.new" "$doc"
    rm -f "$rows"
  ) 9>"$build/logs/doc.lock"
}

run_one() {
  local t=$1
  local work=$build/corpus/$t findings=$build/findings/$t log=$build/logs/$t.log
  mkdir -p "$work" "$findings" "$build/logs" "fuzz/corpus/$t"
  local start=$build/logs/$t.start
  touch "$start"
  local before; before=$(find "$work" -type f | wc -l)
  # Slow units are noted by libFuzzer, not failures: they are not counted.
  count_findings() { find "$findings" -type f ! -name 'slow-unit-*' | wc -l; }
  local found_before; found_before=$(count_findings)
  # A campaign row short of its executions goes on from where it stopped.
  local goal=$runs prev_execs=0 prev_found=0 prev_secs=0
  if [[ $campaign -eq 1 ]]; then
    local pn pe pc pk pf pt pd
    read -r pn pe pc pk pf pt pd < <(doc_rows | awk -v n="$t" '$1 == n') || true
    if [[ ${pe:-} =~ ^[0-9]+$ && ${pf:-} =~ ^[0-9]+$ && ${pt:-} =~ ^[0-9]+$ && $pe -lt $runs ]]; then
      prev_execs=$pe prev_found=$pf prev_secs=$pt goal=$((runs - pe))
    fi
  fi
  # A finding stops the run: libFuzzer keeps the input in $findings.
  local limit=(-max_total_time="$seconds")
  [[ -n $goal ]] && limit+=(-runs="$goal")
  [[ -n $seed ]] && limit+=(-seed="$seed")
  # libFuzzer's time-out is wall-clock time: a campaign, run at a low
  # priority beside builds for hours, allows more before it calls an input
  # hung (a starved run took 20 s for an input of a quarter second).
  local timeout=20
  [[ $campaign -eq 1 ]] && timeout=120
  local t0; t0=$(date +%s)
  "$build/bin/$t" "${limit[@]}" -print_final_stats=1 -timeout="$timeout" -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" "$work" "fuzz/corpus/$t" >"$log" 2>&1 || true
  local took=$(( $(date +%s) - t0 ))
  local execs; execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  local edges; edges=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2)
  local after; after=$(find "$work" -type f | wc -l)
  local found; found=$(( $(count_findings) - found_before ))
  # A target that ended without its final statistics did not run through
  # (it failed to start, or died without leaving an input): that counts too.
  [[ -n $execs ]] || found=$((found + 1))
  local added=""
  if [[ $merge -eq 1 ]]; then
    local size_before; size_before=$(find "fuzz/corpus/$t" -type f | wc -l)
    "$build/bin/$t" -merge=1 -timeout=20 "fuzz/corpus/$t" "$work" >>"$log" 2>&1 || true
    added=$(( $(find "fuzz/corpus/$t" -type f | wc -l) - size_before ))
  fi
  printf '%-18s %8s s %12s execs %10s /s %6s new units %4s findings%s%s\n' "$t" "$took" "${execs:-?}" \
    "$(( ${execs:-0} / (took > 0 ? took : 1) ))" "$(( after - before ))" "$found" \
    "${added:+  (+$added in fuzz/corpus/$t)}" \
    "$([[ $prev_execs -gt 0 ]] && echo "  ($(( prev_execs + ${execs:-0} )) executions in all)")"
  # The campaign's row: target, executions, edges, corpus, findings, seconds.
  [[ $campaign -eq 1 ]] && update_doc "$t $(( prev_execs + ${execs:-0} )) ${edges:-?} \
$(find "fuzz/corpus/$t" -type f | wc -l) $(( prev_found + found )) $(( prev_secs + took ))"
  if [[ $found -gt 0 ]]; then
    [[ -n $execs ]] || echo "    did not run through; see $log"
    grep -m3 -E "ERROR|SUMMARY|runtime error|deadly signal" "$log" | sed 's/^/    /' || true
    find "$findings" -type f ! -name 'slow-unit-*' -newer "$start" -printf '    %p\n' || true
  fi
}

echo "== fuzzing ${#targets[@]} targets, $seconds s each, $jobs at a time =="
results=$(mktemp -d)
running=0
for t in "${targets[@]}"; do
  run_one "$t" >"$results/$t" &
  running=$((running + 1))
  if [[ $running -ge $jobs ]]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
status=0
for t in "${targets[@]}"; do
  cat "$results/$t"
  if grep -qE ' [1-9][0-9]* findings' "$results/$t"; then
    status=1
  fi
done
rm -rf "$results"
[[ $status -eq 0 ]] || echo "findings: see $build/findings/ and $build/logs/"
exit $status
