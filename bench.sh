#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/) and runs them. Extra arguments go to the
# benchmark executables (for example --benchmark_filter=Keyed).
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
"$repo/scripts/bootstrap.sh" >/dev/null
cmake -S "$repo" -B "$repo/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DMIRATOS_BUILD_TESTS=OFF -DMIRATOS_BUILD_BENCH=ON >/dev/null
cmake --build "$repo/build-bench" --parallel
for b in "$repo"/build-bench/bench/bench_*; do
  [[ -f "$b" && -x "$b" ]] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" "$@"
done
