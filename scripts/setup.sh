#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need, from the distribution's packages.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libcairo2-dev
  clang libclang-rt-14-dev clang-tidy clang-format
  mingw-w64 mingw-w64-tools wine wine64 wine32:i386 xvfb
  fonts-wqy-microhei fonts-wine locales
  python3-ezdxf python3-matplotlib gdal-bin librecad-data openscad-testing-data
  coinor-libclp-dev coinor-libcbc-dev poppler-utils nettle-dev libpng-dev
  libcpp-httplib-dev libzip-dev chromium
)

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi

# The 32-bit script host that tests the 32-bit DLL runs on wine's 32-bit side (wine32), which
# comes from the distribution's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The users' systems are Chinese: dialogs under wine run in a Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
  fi
fi

# The workshop page is built with its locked npm packages (Vite 7 needs Node.js 20.19 or later);
# installed here, while there is network, so that builds after it need none.
if ! command -v npm >/dev/null; then
  echo "The workshop page needs Node.js 20.19 or later with npm: install it, then run this again"
  exit 1
fi
page=$(cd "$(dirname "$0")/.." && pwd)/platform/workshop/web/page
if [[ ! -f "$page/node_modules/.package-lock.json" ||
      "$page/package-lock.json" -nt "$page/node_modules/.package-lock.json" ]]; then
  (cd "$page" && npm ci --prefer-offline --no-audit --no-fund --loglevel=error)
fi
