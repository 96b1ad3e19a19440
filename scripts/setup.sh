#!/usr/bin/env bash
# One set-up step for building, testing and running Corvane on Debian.
#   scripts/setup.sh [BUILD_DIR]
# Installs missing Debian packages (as root; otherwise prints the apt-get line),
# generates the ja_JP.UTF-8 locale and prepares a private Wine prefix under
# BUILD_DIR/wineprefix. Idempotent: a second run only checks and returns.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)

packages=(
  g++ make cmake ninja-build libgtest-dev googletest
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 xvfb xauth x11-utils imagemagick xdotool python3
  fonts-ipafont-gothic fonts-ipafont-mincho locales
  nlohmann-json3-dev libxml2-utils xmltv-util
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  else
    echo "setup: these packages are missing; install them as root with:" >&2
    echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

# Wine only uses code page 932 when the Japanese locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    if grep -q 'ja_JP.UTF-8' /etc/locale.gen 2>/dev/null; then
      sed -i 's/^# *\(ja_JP\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
      echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    fi
    locale-gen >/dev/null
  else
    echo "setup: the ja_JP.UTF-8 locale is missing; as root run: locale-gen ja_JP.UTF-8" >&2
    exit 1
  fi
fi

"$top/scripts/wineprefix.sh" "$build/wineprefix"
