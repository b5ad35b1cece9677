#!/usr/bin/env bash
# Builds the Debian package and checks it as installed, without installing it: unpacked into a
# scratch root, the program there must tell its version, lay out a new user's app folder on first
# start, import a one-square boundary file into it and render a map; the desktop entry must pass
# desktop-file-validate.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/package.sh"
debs=("$repo"/build/package/miratos_*.deb)
deb="${debs[0]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package check failed: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$scratch/root"
miratos="$scratch/root/usr/bin/miratos"
version="$("$miratos" --version)"
[[ "$version" == "miratos $(dpkg-deb -f "$deb" Version)" ]] || fail "--version printed '$version'"
desktop-file-validate "$scratch/root/usr/share/applications/miratos.desktop" || fail "desktop entry"

# A new user: an empty home, no XDG_DATA_HOME, so the app folder is ~/.local/share/miratos.
export HOME="$scratch/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
app="$HOME/.local/share/miratos"
boundary="$scratch/N03-21_13_210101.geojson"
printf '%s' '{"type":"FeatureCollection","features":[{"type":"Feature","properties":{"N03_001":"東京都","N03_004":"千代田区","N03_007":"13101"},"geometry":{"type":"Polygon","coordinates":[[[139.7,35.6],[139.8,35.6],[139.8,35.7],[139.7,35.7],[139.7,35.6]]]}}]}' > "$boundary"
QT_QPA_PLATFORM=offscreen "$miratos" import "$boundary" > "$scratch/import.out" 2> "$scratch/import.err" ||
  fail "import: $(cat "$scratch/import.err")"
grep -q "初めての起動のため" "$scratch/import.err" || fail "no first-start note: $(cat "$scratch/import.err")"
for f in Init.ini MapData/公共施設.ini; do
  cmp -s "$app/$f" "$scratch/root/usr/share/miratos/$f" || fail "$app/$f is not the shipped one"
done
[[ -d "$app/変換フォルダ" ]] || fail "no 変換フォルダ in $app"

QT_QPA_PLATFORM=offscreen "$miratos" render --mode Japan --out "$scratch/map.png" > /dev/null 2> "$scratch/render.err" ||
  fail "render: $(cat "$scratch/render.err")"
[[ -s "$scratch/map.png" ]] || fail "render wrote no picture"
! grep -q "個人用のアプリフォルダ" "$scratch/render.err" || fail "the first-start note came twice"
echo "Package check passed: $(basename "$deb") ($version)"
