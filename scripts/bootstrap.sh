#!/usr/bin/env bash
# Shared set-up of ./run.sh and ./test.sh: install the Debian packages that are missing, configure
# and build into build/ (Release), and lay out the app folder build/app/.
# Usage: bootstrap.sh [TARGET...]   (no target: build everything, tests included)
#        bootstrap.sh --sanitize [TARGET...]   the same into build-fuzz/ with clang, ASan + UBSan
#        and libFuzzer's instrumentation, fuzz targets included (./test.sh --sanitize, ./fuzz.sh)
#        bootstrap.sh --package [TARGET...]   the Release build plus the tools that package it
#        and check the package (./package.sh)
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build"
sanitize=0
package=0
if [[ "${1:-}" == "--sanitize" ]]; then
  sanitize=1
  build="$repo/build-fuzz"
  shift
elif [[ "${1:-}" == "--package" ]]; then
  package=1
  shift
fi

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev libfreexl-dev libgdal-dev libproj-dev
  fonts-ipafont-gothic qt6-translations-l10n locales
)
# clang with its sanitizer and libFuzzer runtimes, and the symbolizer for readable reports: only
# for the sanitizer and fuzzing builds.
if ((sanitize)); then
  packages+=(clang libclang-rt-14-dev llvm-14)
fi
# CPack's DEB generator reads the linked libraries with dpkg-shlibdeps and file; the desktop entry
# is checked with desktop-file-validate.
if ((package)); then
  packages+=(dpkg-dev file desktop-file-utils)
fi

install_packages() {
  local sudo_cmd=()
  if [[ "$(id -u)" -ne 0 ]]; then
    if command -v sudo >/dev/null; then
      sudo_cmd=(sudo)
    else
      echo "error: packages are missing and neither root nor sudo is available: $*" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  install_packages "${missing[@]}"
fi

# ccache, when installed, makes a second run on the same machine rebuild only what changed.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if ((sanitize)); then
  # -O1 with line tables: fast enough to fuzz, and every report names file and line.
  CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DMIRATOS_BUILD_FUZZ=ON "${launcher[@]}" >/dev/null
else
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
if (($#)); then
  targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$build" --parallel "${targets[@]}"
else
  cmake --build "$build" --parallel
fi

((sanitize)) && exit 0   # the sanitizer build needs no app folder: its tests make their own

# App folder: the shipped files (Init.ini, ...) when missing or still as last shipped, empty data
# folders when none exist. A shipped file the user has changed is kept; the set-up says so once
# for each version of it.
app="$build/app"
mkdir -p "$app"
for f in "$repo"/data/*; do
  [[ -f "$f" ]] || continue
  name="$(basename "$f")"
  target="$app/$name"
  shipped="$build/.shipped-$name"
  if [[ ! -e "$target" || "$(cksum < "$target")" == "$(cat "$shipped" 2>/dev/null)" ]]; then
    cp "$f" "$target"
    cksum < "$f" > "$shipped"
  elif ! cmp -s "$f" "$target"; then
    stamp="$build/.kept-$name"
    sum="$(cksum < "$target")"
    if [[ "$(cat "$stamp" 2>/dev/null)" != "$sum" ]]; then
      echo "Note: $target differs from the shipped $name and is kept as it is (remove it to get the shipped one)."
      echo "$sum" > "$stamp"
    fi
  fi
done
mkdir -p "$app/MapData" "$app/変換フォルダ"   # never touches what a user already put there
# Shipped MapData files (公共施設.ini, the facility symbols) are the user's to edit: copied only
# when missing, never overwritten.
for f in "$repo"/data/MapData/*; do
  [[ -f "$f" ]] || continue
  target="$app/MapData/$(basename "$f")"
  [[ -e "$target" ]] || cp "$f" "$target"
done
