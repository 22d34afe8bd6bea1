#!/usr/bin/env bash
# The random operator: a seeded random walk over every screen of both
# programs (clicks, slider moves, hostile texts, prompts answered at random,
# dialogs closed and destroyed at random moments) against the simulated
# printer with faults switched on at random, under the address and
# undefined-behaviour sanitizers.
#
#   scripts/random-operator.sh [--seed S] [--actions N] [--screen NAME] [--release]
#
#   --seed S        the walk's seed (default 1); the same seed walks the same way
#   --actions N     actions over both programs, half each (default 2000); with
#                   --screen, N on that screen
#   --screen NAME   only this screen (its class: CPlatenDlg, CPrintDlg, ...)
#   --release       the Release build (build/) instead of the sanitizers: for
#                   long walks on a small machine
#
# A fault prints the seed, the screen and the actions of its session; every
# action of the walk is also in build-asan/random-operator/<program>.log.
# Exit status 1 on a fault.
set -euo pipefail
cd "$(dirname "$0")/.."

seed=1
actions=2000
screen=""
preset=asan
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seed) seed="$2"; shift 2 ;;
    --actions) actions="$2"; shift 2 ;;
    --screen) screen="$2"; shift 2 ;;
    --release) preset=default; shift ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

build=$([[ $preset = asan ]] && echo build-asan || echo build)
[[ -f $build/CMakeCache.txt ]] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target random_operator_vantor random_operator_pellam >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$PWD/cmake/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

logs=$build/random-operator
mkdir -p "$logs"
status=0
for program in vantor pellam; do
  n=$(( actions / 2 ))
  [[ $program = vantor ]] && n=$(( actions - actions / 2 ))
  [[ -n $screen ]] && n=$actions
  args=(--seed "$seed" --actions "$n" --log "$logs/$program.log")
  [[ -n $screen ]] && args+=(--screen "$screen")
  start=$(date +%s)
  if ! "$build/bin/random_operator_$program" "${args[@]}" 2>"$logs/$program.err"; then
    status=1
    cat "$logs/$program.err" >&2
    echo "FAULT in $program, seed $seed: reproduce with scripts/random-operator.sh --seed $seed --actions $actions${screen:+ --screen $screen}" >&2
    echo "its last screen's actions (all of them in $logs/$program.log):" >&2
    # sed stops reading early: the broken pipe must not end the script
    # before the other program has walked.
    { tac "$logs/$program.log" | sed '/== open /q' | tac | tail -n 200 | sed 's/^/    /' >&2; } || true
  else
    grep -v '^$' "$logs/$program.err" | grep -v -E '^(QStandardPaths|This plugin does not support)' | head -20 >&2 || true
  fi
  echo "  ($program took $(( $(date +%s) - start )) s)"
done
exit $status
