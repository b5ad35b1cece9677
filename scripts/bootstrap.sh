#!/usr/bin/env bash
# Shared set-up of ./run.sh and ./test.sh: install the Debian packages that are missing, configure
# and build into build/ (Release), and lay out the app folder build/app/.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build"

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev libfreexl-dev
  fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  if [[ "$(id -u)" -ne 0 ]]; then
    if command -v sudo >/dev/null; then
      sudo_cmd=(sudo)
    else
      echo "error: packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel

# App folder: Init.ini and the other shipped files, empty data folders when none exist.
app="$build/app"
mkdir -p "$app"
for f in "$repo"/data/*; do
  [[ -e "$f" ]] || continue
  cp -f "$f" "$app/"
done
mkdir -p "$app/MapData" "$app/変換フォルダ"   # never touches what a user already put there
