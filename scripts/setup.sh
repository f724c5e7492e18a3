#!/usr/bin/env bash
# Machine set-up shared by run.sh and test.sh: packages, the i386
# architecture for 32-bit Wine, a way to run 32-bit programs, the Japanese
# locale. Idempotent: each step checks first and does nothing when done.
set -euo pipefail

PACKAGES=(
  cmake make git python3 ca-certificates
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386
  xvfb xauth x11-utils
  locales fonts-ipafont-gothic fonts-ipafont-mincho
  imagemagick googletest libstb-dev
  qemu-user-static
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

# Some kernels (virtual machines that run 64-bit user code only) refuse i386
# executables with ENOEXEC. 32-bit Wine then runs through qemu's user-mode
# emulator, registered for i386 ELF files with binfmt_misc. The registration
# lives until the machine restarts, so it is checked on every run.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: this kernel runs no 32-bit programs; registering qemu-i386 for them"
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" | as_root tee "$binfmt/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || {
    echo "setup: 32-bit programs still do not run; Wine cannot start" >&2
    exit 1
  }
fi
