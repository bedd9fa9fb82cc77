#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build and the tests need, and nothing else.
# With --fuzz, also clang and its runtime libraries (libFuzzer, sanitizers).
set -euo pipefail
packages=(cmake g++ make libgtest-dev libc-bin qt6-base-dev qt6-translations-l10n xvfb xauth
          xdotool imagemagick openbox dbus at-spi2-core python3 python3-pyatspi clang-format
          clang-tidy appstream desktop-file-utils man-db acl attr)
if [[ "${1:-}" == --fuzz ]]; then
  packages+=(clang libclang-rt-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
