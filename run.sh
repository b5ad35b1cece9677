#!/usr/bin/env bash
# Installs what is missing, builds, and starts Miratos on the app folder build/app/.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
"$repo/scripts/bootstrap.sh" miratos   # only the program: the tests are built by ./test.sh

app="$repo/build/app"
# A real map of Japan out of the box, generated from Debian's r-cran-mapdata (never committed).
"$repo/scripts/demo_data.sh" "$app" "$repo/build/miratos" || echo "(デモ地図なしで起動します / starting without the demo map)"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  QT_QPA_PLATFORM=offscreen "$repo/build/miratos" snapshot --app-folder "$app" "$repo/build/launcher.png"
  echo "No display found, so Miratos was started offscreen."
  echo "A picture of the launcher is in: $repo/build/launcher.png"
  # ラベル配置 keeps the names readable over the fill; --credit "" credits the data drawn (the
  # demo's own source, R's maps database) instead of the specified note.
  if [[ -f "$app/MapData/demo/面積.csv" ]] &&
     QT_QPA_PLATFORM=offscreen "$repo/build/miratos" render --app-folder "$app" --mode Japan \
       --own-data "$app/MapData/demo/面積.csv" --column "面積(k㎡)" --classes jenks --labels \
       --place-labels --credit "" --out "$repo/build/demo-map.png" >/dev/null; then
    echo "The demo map of Japan, coloured by area, is in: $repo/build/demo-map.png"
  fi
  echo "To open the real window, run on a desktop session:  ./run.sh"
  echo "  (or directly: $repo/build/miratos --app-folder $app)"
  exit 0
fi
exec "$repo/build/miratos" --app-folder "$app"
