#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Tavrel needs that are not there yet.
# Usage: install-deps.sh [run|package|test]
set -euo pipefail

purpose="${1:-test}"
packages=(build-essential cmake pkg-config qt6-base-dev fonts-nanum)
# Qt's own texts in Korean: the message box's button, the file dialogs.
packages+=(qt6-translations-l10n)
if [[ "$purpose" == package || "$purpose" == test ]]; then
  # cpack's Debian generator finds the run-time dependencies with these.
  packages+=(dpkg-dev file)
fi
if [[ "$purpose" == test ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev clang)
  # libFuzzer and the sanitizer runtimes for clang.
  packages+=(libclang-rt-dev)
  # The package checks: desktop entry, AppStream metainfo, manual page.
  packages+=(desktop-file-utils appstream man-db)
  # The Windows build: MinGW-w64 with POSIX threads, Wine to run it, the locales that give its code pages.
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 xvfb locales)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo=""
if [[ "$(id -u)" != 0 ]]; then
  sudo="sudo"
fi
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the locale it starts in, and only from a locale that exists: Korean gives 949.
if [[ "$purpose" == test ]] && ! locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
  echo "Generating the locale ko_KR.UTF-8"
  $sudo localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
