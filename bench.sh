#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/) and runs them. Extra arguments go to the
# benchmark executables (for example --benchmark_filter=Keyed).
#   ./bench.sh --before REV [ARGS]   runs bench_national (the commands on the national data) of
#                                    this tree and of revision REV, built with this tree's bench/,
#                                    taking turns three times, so both are measured side by side
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
"$repo/scripts/bootstrap.sh" >/dev/null
configure() { # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRATOS_BUILD_TESTS=OFF -DMIRATOS_BUILD_BENCH=ON \
        -DMIRATOS_SHARED_DATA="$repo/../shared/data" \
        $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
}
if [[ "${1:-}" == "--before" ]]; then
  rev="${2:?usage: ./bench.sh --before REV}"
  shift 2
  old="$repo/build-bench-before/tree"   # build inside it: same relative paths, so ccache reuses objects
  rm -rf "$old" && mkdir -p "$old"
  git -C "$repo" archive "$rev" | tar -x -C "$old"
  rm -rf "$old/bench" && cp -r "$repo/bench" "$old/bench"   # the same benchmark code on both sides
  configure "$old" "$old/build"
  cmake --build "$old/build" --parallel --target bench_national
  configure "$repo" "$repo/build-bench"
  cmake --build "$repo/build-bench" --parallel --target bench_national
  for round in 1 2 3; do
    for side in before after; do
      b="$repo/build-bench/bench/bench_national"
      [[ $side == before ]] && b="$old/build/bench/bench_national"
      echo "== $side ($([[ $side == before ]] && echo "$rev" || echo "this tree")), round $round"
      QT_QPA_PLATFORM=offscreen "$b" "$@"
    done
  done
  exit
fi
configure "$repo" "$repo/build-bench"
cmake --build "$repo/build-bench" --parallel
for b in "$repo"/build-bench/bench/bench_*; do
  [[ -f "$b" && -x "$b" ]] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" "$@"
done
