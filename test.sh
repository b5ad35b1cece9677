#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh              Release build in build/
#   ./test.sh --sanitize   the whole suite built with clang, AddressSanitizer and
#                          UndefinedBehaviorSanitizer in build-fuzz/; any report fails its test
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
if [[ "${1:-}" == "--sanitize" ]]; then
  "$repo/scripts/bootstrap.sh" --sanitize
  "$repo/scripts/comma_locale.sh" || echo "(no decimal-comma locale: the locale tests will be skipped)"
  cd "$repo/build-fuzz"
  # halt_on_error/abort: a report ends the test process, so ctest counts the test as failed.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:${ASAN_OPTIONS:-}"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
  export LSAN_OPTIONS="suppressions=$repo/fuzz/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j"$(nproc)"
  exit
fi
"$repo/scripts/bootstrap.sh"
"$repo/scripts/comma_locale.sh" || echo "(no decimal-comma locale: the locale tests will be skipped)"
cd "$repo/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j"$(nproc)"
