#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
"$repo/scripts/bootstrap.sh"
"$repo/scripts/comma_locale.sh" || echo "(no decimal-comma locale: the locale tests will be skipped)"
cd "$repo/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j"$(nproc)"
