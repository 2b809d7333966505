#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz step of CI: builds the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (into build-fuzz/, or $FUZZ_BUILD_DIR), then runs each one for
# $FUZZ_SECONDS seconds (30 by default), two at a time, starting from a copy of its seed
# corpus in tests/fuzz/corpus/<target>/. A crash or a broken property fails the step and
# prints the input; add that input to the target's corpus with its fix.
#   scripts/fuzz.sh [TARGET...]      (all targets when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
build=${FUZZ_BUILD_DIR:-build-fuzz}
start=$SECONDS

if [ $# -gt 0 ]; then targets=("$@"); else
  mapfile -t targets < <(cd tests/fuzz/corpus && ls -d -- */ | tr -d /)
fi

CXX=${FUZZ_CXX:-clang++} cmake -S tests/fuzz -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/%/_fuzz}" >/dev/null
echo "fuzz: built ${#targets[@]} targets in $((SECONDS - start)) s"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run() {  # target
  local t=$1 dir=$work/$1
  mkdir -p "$dir/corpus"
  cp tests/fuzz/corpus/"$t"/* "$dir/corpus/"
  "$build/${t}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1
}

# Two at a time: the machine has two cores.
pids=()
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n || true; done
  run "$t" &
  pids+=("$!:$t")
done
failed=0
for entry in "${pids[@]}"; do
  wait "${entry%%:*}" || true
done

printf '%-14s %12s %8s %8s  %s\n' target executions cov corpus result
for t in "${targets[@]}"; do
  log=$work/$t/log
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)
  execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log" | tail -1)
  cov=$(sed -nE 's/.* cov: ([0-9]+) .*/\1/p' <<<"$done_line")
  corp=$(sed -nE 's/.* corp: ([0-9]+)\/.*/\1/p' <<<"$done_line")
  crash=$(ls "$work/$t"/crash-* "$work/$t"/leak-* "$work/$t"/timeout-* "$work/$t"/oom-* 2>/dev/null | head -1 || true)
  if [ -n "$done_line" ] && [ -z "$crash" ]; then
    printf '%-14s %12s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${corp:-?}" ok
  else
    failed=1
    printf '%-14s %12s %8s %8s  %s\n' "$t" "${execs:-?}" "-" "-" FAILED
    echo "---- $t: what broke"
    grep -E 'broken property|ERROR: |runtime error|SUMMARY' "$log" | head -10 || tail -30 "$log"
    if [ -n "$crash" ]; then
      echo "---- $t: the input ($(stat -c %s "$crash") bytes; keep it as tests/fuzz/corpus/$t/crash-<what>)"
      od -A d -c "$crash" | head -40
      echo "base64: $(base64 -w0 "$crash")"
    fi
  fi
done
echo "fuzz: $((SECONDS - start)) s in all"
exit $failed
