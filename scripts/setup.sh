#!/usr/bin/env bash
# Machine set-up shared by run.sh and test.sh: packages (both MinGW
# toolchains, 32- and 64-bit Wine), the i386 architecture for 32-bit Wine, the
# Japanese locale. Idempotent: each step checks first and does nothing when
# there is nothing to do.
set -euo pipefail

PACKAGES=(
  cmake make git python3 ca-certificates
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64
  xvfb xauth x11-utils
  locales fonts-ipafont-gothic fonts-ipafont-mincho
  imagemagick googletest libstb-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  as_root dpkg --add-architecture i386
  rm -f /tmp/.quillmere-apt-updated
fi

todo=$(missing_packages)
if [ -n "$todo" ]; then
  echo "setup: installing $(echo $todo | wc -w) packages"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  # shellcheck disable=SC2086
  as_root apt-get install -y -qq --no-install-recommends $todo >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

