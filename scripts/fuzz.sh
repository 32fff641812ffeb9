#!/usr/bin/env bash
# Runs the libFuzzer targets for as long as asked.
# Usage: scripts/fuzz.sh [TARGET|all] SECONDS
#   FUZZ_JOBS=N   targets run at the same time (default 2)
#   FUZZ_FORK=1   keep going after a crash (libFuzzer's fork mode); every
#                 crash still leaves its input in fuzz-out/artifacts/
# Work corpora, crash files and logs go to fuzz-out/; the checked-in seeds in
# fuzz/corpus/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."

target="${1:-all}"
seconds="${2:-60}"
jobs="${FUZZ_JOBS:-2}"
fork_args=()
if [[ "${FUZZ_FORK:-0}" == 1 ]]; then
  fork_args=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
fi
build="${FUZZ_BUILD_DIR:-build-fuzz}"
out="fuzz-out"
all_targets=(fuzz_load fuzz_correct fuzz_extract fuzz_merge fuzz_detect fuzz_sami fuzz_ass fuzz_write_sami)

if [[ "$target" == all ]]; then
  targets=("${all_targets[@]}")
else
  targets=("$target")
fi

scripts/install-deps.sh test
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVREL_FUZZ=ON -DTAVREL_BUILD_UI=OFF -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

run_one() {
  local t="$1"
  mkdir -p "$out/corpus/$t" "$out/artifacts/$t" "$out/logs"
  "$build/fuzz/$t" "${fork_args[@]}" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$t/" "$out/corpus/$t" "fuzz/corpus/$t" >"$out/logs/$t.log" 2>&1
}

declare -A status
running=()
for t in "${targets[@]}"; do
  while ((${#running[@]} >= jobs)); do
    wait -n || true
    still=()
    for pid in "${running[@]}"; do
      kill -0 "$pid" 2>/dev/null && still+=("$pid")
    done
    running=("${still[@]}")
  done
  run_one "$t" &
  running+=($!)
  status[$t]=$!
done
failed=0
for t in "${targets[@]}"; do
  if ! wait "${status[$t]}"; then
    failed=1
  fi
done

# One line per target: executions, coverage, corpus size, crash files.
printf '%-16s %12s %8s %8s %8s %s\n' target execs cov ft corpus crashes
for t in "${targets[@]}"; do
  log="$out/logs/$t.log"
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' ||
    grep -oE '^#[0-9]+:' "$log" | tail -1 | tr -d '#:' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
  corpus=$(find "$out/corpus/$t" -type f | wc -l)
  crashes=$(find "$out/artifacts/$t" -type f | wc -l)
  printf '%-16s %12s %8s %8s %8s %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$corpus" "$crashes"
done
exit "$failed"
