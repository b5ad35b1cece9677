#!/usr/bin/env bash
# Makes sure a locale with a decimal comma (de_DE.UTF-8) exists, so the tests can check that every
# number is written and read with "." whatever the user's locale.
set -euo pipefail
locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$' && exit 0
sudo_cmd=()
if [[ "$(id -u)" -ne 0 ]]; then
  command -v sudo >/dev/null || exit 1
  sudo_cmd=(sudo -n)
fi
"${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
