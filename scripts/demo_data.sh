#!/usr/bin/env bash
# Sets up a demo map on a fresh machine: the prefectures of Japan from Debian's r-cran-mapdata
# (R "maps" database "japan", GPL-2 data fetched here, never kept in the repository), imported into
# APP_FOLDER/MapData, plus MapData/demo/面積.csv (area of each prefecture) as an own-data table.
# Does nothing when MapData already holds prefecture data. Without network it says so and exits 0.
#
# usage: scripts/demo_data.sh APP_FOLDER MIRATOS_BINARY
set -uo pipefail

if (($# != 2)); then
  echo "usage: $0 APP_FOLDER MIRATOS_BINARY" >&2
  exit 2
fi
app="$1"
miratos="$2"
mapdata="$app/MapData"

shopt -s nullglob
existing=("$mapdata"/*/Point.dat)
shopt -u nullglob
if ((${#existing[@]})); then
  echo "MapData already holds prefecture data (${#existing[@]} prefectures); demo map not set up."
  exit 0
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

unavailable() {
  echo "デモ地図を用意できませんでした（Debian パッケージ r-cran-mapdata を取得できません）。MapData は空のまま起動します。"
  echo "Could not set up the demo map: the Debian package r-cran-mapdata could not be downloaded ($1). Miratos starts with an empty MapData."
  exit 0
}

command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || unavailable "apt-get or dpkg-deb is missing"

download() { (cd "$tmp" && apt-get download r-cran-mapdata) >>"$tmp/apt.log" 2>&1; }

echo "Downloading the Debian package r-cran-mapdata for the demo map..."
if ! download; then
  # A machine whose package lists were never fetched cannot locate the package yet.
  if [[ "$(id -u)" -eq 0 ]]; then
    apt-get update -qq >>"$tmp/apt.log" 2>&1 && download
  elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    sudo -n apt-get update -qq >>"$tmp/apt.log" 2>&1 && download
  else
    false
  fi || unavailable "$(tail -n 1 "$tmp/apt.log")"
fi

debs=("$tmp"/r-cran-mapdata_*.deb)
[[ -f "${debs[0]}" ]] || unavailable "no .deb file was downloaded"
dpkg-deb -x "${debs[0]}" "$tmp/pkg" || unavailable "the package could not be unpacked"
japan_l="$(find "$tmp/pkg" -name japan.L -print -quit)"
[[ -n "$japan_l" ]] || unavailable "the package holds no japan database"
base="${japan_l%.L}"
echo "Found the maps database ${base#"$tmp/pkg"} in $(basename "${debs[0]}")."

# The subcommands open no window; offscreen keeps them working on a machine without a display.
if ! QT_QPA_PLATFORM=offscreen "$miratos" import --app-folder "$app" "$base"; then
  echo "デモ地図の取り込みに失敗しました。" >&2
  echo "error: importing the demo map into $mapdata failed." >&2
  exit 1
fi
echo "Imported the demo map into $mapdata."

if QT_QPA_PLATFORM=offscreen "$miratos" demo-area --app-folder "$app" "$base"; then
  echo "Wrote the area table $mapdata/demo/面積.csv."
else
  echo "warning: the area table $mapdata/demo/面積.csv could not be written; the demo map is ready without it." >&2
fi
