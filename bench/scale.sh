#!/usr/bin/env bash
# Speed at scale: generates 5 MB and 50 MB inputs of every kind, runs every
# job through tavrel-cli as a whole process under /usr/bin/time -v and prints
# one table. Usage: bench/scale.sh [SIZE_MB...]   (default: 5 50)
#   SCALE_BUILD_DIR   build folder (default build-scale, a Release build)
#   SCALE_REPEAT      runs of each job; the fastest by wall clock counts (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=("$@")
((${#sizes[@]})) || sizes=(5 50)
build="${SCALE_BUILD_DIR:-build-scale}"
repeat="${SCALE_REPEAT:-5}"

if [[ ! -x /usr/bin/time ]]; then
  echo "scale.sh needs /usr/bin/time (Debian package: time)" >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVREL_BUILD_BENCH=ON -DTAVREL_BUILD_UI=OFF \
  -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tavrel-cli gen-input >/dev/null
cli="$PWD/$build/cli/tavrel-cli"
gen="$PWD/$build/bench/gen-input"

work="$(mktemp -d "${TMPDIR:-/tmp}/tavrel-scale-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# run JOB SIZE_MB INPUT_BYTES COMMAND...: one table row.
declare -A first_seconds
run() {
  local job="$1" size="$2" bytes="$3"
  shift 3
  local log="$work/time.log"
  local status=ok
  local wall="" seconds="" rss_kb=0
  for ((k = 0; k < repeat; k++)); do
    if ! /usr/bin/time -v -o "$log" "$@" >/dev/null 2>"$work/stderr"; then
      status="FAILED: $(tr -d '\n' <"$work/stderr" | head -c 80)"
    fi
    local w s r
    w=$(awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$log")
    # CPU time of all threads (user + system). The fastest run by wall clock counts: the jobs use a second core,
    # so their CPU time is more than their wall time.
    s=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$log")
    r=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
    if [[ -z "$wall" ]] || awk -v a="$w" -v b="$wall" 'BEGIN { exit !(a < b) }'; then
      seconds="$s"
      wall="$w"
    fi
    if ((r > rss_kb)); then rss_kb="$r"; fi
  done
  local ratio="-"
  if [[ -n "${first_seconds[$job]:-}" ]]; then
    ratio=$(awk -v a="$seconds" -v b="${first_seconds[$job]}" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }')
  else
    first_seconds[$job]="$seconds"
  fi
  awk -v job="$job" -v bytes="$bytes" -v s="$seconds" -v w="$wall" -v rss="$rss_kb" -v ratio="$ratio" -v st="$status" 'BEGIN {
      mb = bytes / 1048576; rssmb = rss / 1024
      printf "%-20s %9.1f %8.2f %8.2f %9.1f %9.1f %9.1f %11.2f %9s  %s\n", job, mb, s, w, (s > 0 ? mb / s : 0),
        (w > 0 ? mb / w : 0), rssmb, rssmb / mb, ratio, st }'
}

printf '%-20s %9s %8s %8s %9s %9s %9s %11s %9s  %s\n' job "input MB" "cpu s" "wall s" "MB/s" "wall MB/s" "peak MB" \
  "peak/input" "t/t(1st)" status
for size in "${sizes[@]}"; do
  d="$work/$size"
  mkdir -p "$d/correct" "$d/extract" "$d/merge" "$d/srt2sami" "$d/sami2srt" "$d/ass2srt"
  "$gen" srt "$size" "$d/correct/movie.srt"
  "$gen" text "$size" "$d/merge/movie.txt"
  "$gen" sami "$size" "$d/sami2srt/movie.smi"
  "$gen" ass "$size" "$d/ass2srt/movie.ass"
  cp "$d/correct/movie.srt" "$d/extract/movie.srt"
  cp "$d/correct/movie.srt" "$d/merge/movie.srt"
  cp "$d/correct/movie.srt" "$d/srt2sami/movie.srt"
  srt_bytes=$(stat -c %s "$d/correct/movie.srt")
  text_bytes=$(stat -c %s "$d/merge/movie.txt")

  run correct "$size" "$srt_bytes" "$cli" correct "$d/correct/movie.srt" "$d/correct/out.srt" \
    --offset -1500 --fix-0085 --fix-quotes --fix-l --fix-digits
  run correct-offset "$size" "$srt_bytes" "$cli" correct "$d/correct/movie.srt" "$d/correct/out.srt" --offset -1500
  run correct-map "$size" "$srt_bytes" "$cli" correct "$d/correct/movie.srt" "$d/correct/out.srt" \
    --map 1000,2000,11000,22000
  run extract "$size" "$srt_bytes" "$cli" extract "$d/extract/movie.srt" "$d/extract/out.txt"
  run merge "$size" "$((srt_bytes + text_bytes))" "$cli" merge "$d/merge/movie.srt" "$d/merge/movie.txt" \
    "$d/merge/out.srt"
  run "convert srt->sami" "$size" "$srt_bytes" "$cli" convert "$d/srt2sami/movie.srt"
  run "convert sami->srt" "$size" "$(stat -c %s "$d/sami2srt/movie.smi")" "$cli" convert "$d/sami2srt/movie.smi"
  run "convert ass->srt" "$size" "$(stat -c %s "$d/ass2srt/movie.ass")" "$cli" convert "$d/ass2srt/movie.ass"
  rm -rf "$d"
done
