#!/usr/bin/env bash
# Builds the fuzzing targets (the "fuzz" preset) and runs each for a bounded
# time from its checked-in seeds and kept regressions.
#
#   fuzz/run.sh SECONDS [TARGET...]     targets: harvest registry drive_map wad_reader preview
#                                       pack_picture export_pictures (default: all)
#
# New inputs go to build/fuzz/corpus/<target>/, crash, leak, timeout and
# out-of-memory inputs to build/fuzz/artifacts/<target>/. Copy an artifact
# into fuzz/regressions/<target>/ once its fault is fixed: the core tests
# replay those inputs. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(harvest registry drive_map wad_reader preview pack_picture export_pictures)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build=build/fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

max_len() {
  case $1 in
    harvest | wad_reader | preview | pack_picture | export_pictures) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  binary=$build/fuzz/fuzz_$target
  [[ -x $binary ]] || { echo "no such target: $target" >&2; exit 2; }
  work=$build/corpus/$target
  artifacts=$build/artifacts/$target
  mkdir -p "$work" "$artifacts" "fuzz/regressions/$target"
  options=(
    -max_total_time="$seconds"
    -max_len="$(max_len "$target")"
    -timeout=10               # one input taking longer is a hang
    -rss_limit_mb=1024
    -malloc_limit_mb=256      # an allocation this large from a small input is unbounded
    -print_final_stats=1
    -artifact_prefix="$artifacts/"
  )
  [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
  log=$build/fuzz-$target.log
  echo "== $target: ${seconds}s (log: $log)"
  if "$binary" "${options[@]}" "$work" "fuzz/corpus/$target" "fuzz/regressions/$target" >"$log" 2>&1; then
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
    echo "   clean: $runs executions, $coverage"
  else
    echo "   FOUND A FAULT: see $log and $artifacts/"
    grep -m3 -E 'ERROR|fuzz check failed|SUMMARY' "$log" | sed 's/^/   /' || true
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "faults found by: ${failed[*]}"
  exit 1
fi
