#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan, in build-fuzz/) and runs them.
#   ./fuzz.sh                 every target for 20 seconds
#   ./fuzz.sh TARGET[,TARGET...] [SECONDS]  those targets (geometry_files, text, ... see fuzz/CMakeLists.txt)
#   ./fuzz.sh all SECONDS      every target for SECONDS each
# Targets run side by side, one per processor (FUZZ_JOBS=N to choose).
# Each target starts from its seed corpus (written by make_seeds from the program's own writers)
# and the inputs earlier runs found (build-fuzz/fuzz/corpus/TARGET). An input that crashes, hangs,
# breaks an invariant or trips a sanitizer is kept in fuzz-crashes/TARGET/ and the run fails.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
which="${1:-all}"
seconds="${2:-20}"
build="$repo/build-fuzz"

IFS=, read -ra targets <<<"$which"

# Configure first (it writes targets.txt), then build only what is run.
"$repo/scripts/bootstrap.sh" --sanitize make_seeds
if [[ "$which" == all ]]; then
  mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
else
  for t in "${targets[@]}"; do
    if ! grep -qx "$t" "$build/fuzz/targets.txt"; then
      echo "fuzz.sh: no target $t; the targets are:" >&2
      cat "$build/fuzz/targets.txt" >&2
      exit 2
    fi
  done
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
cmake --build "$build" --parallel "${build_targets[@]}"

# A seed folder of this run only, removed at its end.
seeds="$(mktemp -d "$build/fuzz/seeds.XXXXXX")"
trap 'rm -rf "$seeds"' EXIT
"$build/fuzz/make_seeds" "$seeds" "$repo" >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$repo/fuzz/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen

# One target: its summary line goes to $results/$t.ok or $results/$t.failed.
fuzz_one() {
  local t="$1" corpus="$build/fuzz/corpus/$1" crashes="$repo/fuzz-crashes/$1" log="$build/fuzz/$1.log"
  local status=0 runs cov
  mkdir -p "$corpus" "$crashes" "$seeds/$t"
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "$seeds/$t" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  cov="$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)"
  if ((status != 0)); then
    tail -n 60 "$log" >&2
    printf '%-20s FAILED (exit %d) %s executions, %s — inputs in fuzz-crashes/%s/, log %s\n' \
      "$t" "$status" "${runs:-?}" "${cov:-?}" "$t" "$log" >"$results/$t.failed"
  else
    rmdir "$crashes" 2>/dev/null || true
    printf '%-20s ok  %10s executions, %s, corpus %s files\n' "$t" "${runs:-?}" "${cov:-?}" "$(ls "$corpus" | wc -l)" \
      >"$results/$t.ok"
  fi
}

# As many targets side by side as there are processors (FUZZ_JOBS to choose).
jobs="${FUZZ_JOBS:-$(nproc)}"
results="$seeds/results"
mkdir -p "$results"
for t in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
  echo "== fuzz_$t for ${seconds} s"
  fuzz_one "$t" &
done
wait
rmdir "$repo/fuzz-crashes" 2>/dev/null || true

echo
echo "Fuzzing summary (${seconds} s per target):"
for t in "${targets[@]}"; do
  sed 's/^/  /' "$results/$t".* 2>/dev/null || echo "  $t: no result"
done
failed=()
for t in "${targets[@]}"; do [[ -e "$results/$t.ok" ]] || failed+=("$t"); done
if ((${#failed[@]})); then
  echo "fuzz.sh: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: all ${#targets[@]} targets ran without a crash, hang or sanitizer report."
