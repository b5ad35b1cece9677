#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan, in build-fuzz/) and runs them.
#   ./fuzz.sh                 every target for 20 seconds
#   ./fuzz.sh TARGET [SECONDS] one target (geometry_files, text, ... see fuzz/CMakeLists.txt)
#   ./fuzz.sh all SECONDS      every target for SECONDS each
# Each target starts from its seed corpus (written by make_seeds from the program's own writers)
# and the inputs earlier runs found (build-fuzz/fuzz/corpus/TARGET). An input that crashes, hangs,
# breaks an invariant or trips a sanitizer is kept in fuzz-crashes/TARGET/ and the run fails.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
which="${1:-all}"
seconds="${2:-20}"
build="$repo/build-fuzz"

targets=("$which")

# Configure first (it writes targets.txt), then build only what is run.
"$repo/scripts/bootstrap.sh" --sanitize make_seeds
if [[ "$which" == all ]]; then
  mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
elif ! grep -qx "$which" "$build/fuzz/targets.txt"; then
  echo "fuzz.sh: no target $which; the targets are:" >&2
  cat "$build/fuzz/targets.txt" >&2
  exit 2
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
cmake --build "$build" --parallel "${build_targets[@]}"

# A seed folder of this run only, so that two runs of different targets can go side by side.
seeds="$(mktemp -d "$build/fuzz/seeds.XXXXXX")"
trap 'rm -rf "$seeds"' EXIT
"$build/fuzz/make_seeds" "$seeds" "$repo" >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$repo/fuzz/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen

failed=()
summary=()
for t in "${targets[@]}"; do
  corpus="$build/fuzz/corpus/$t"
  crashes="$repo/fuzz-crashes/$t"
  log="$build/fuzz/$t.log"
  mkdir -p "$corpus" "$crashes" "$seeds/$t"
  echo "== fuzz_$t for ${seconds} s"
  status=0
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$corpus" "$seeds/$t" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  cov="$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)"
  if ((status != 0)); then
    failed+=("$t")
    tail -n 60 "$log"
    summary+=("$(printf '%-20s FAILED (exit %d) %s executions, %s — inputs in fuzz-crashes/%s/, log %s' "$t" "$status" "${runs:-?}" "${cov:-?}" "$t" "$log")")
  else
    rmdir "$crashes" 2>/dev/null || true
    summary+=("$(printf '%-20s ok  %10s executions, %s, corpus %s files' "$t" "${runs:-?}" "${cov:-?}" "$(ls "$corpus" | wc -l)")")
  fi
done
rmdir "$repo/fuzz-crashes" 2>/dev/null || true

echo
echo "Fuzzing summary (${seconds} s per target):"
printf '  %s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "fuzz.sh: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: all ${#targets[@]} targets ran without a crash, hang or sanitizer report."
