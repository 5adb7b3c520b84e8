#!/usr/bin/env bash
# Installs what the build and the tests need, once; quiet when all is there.
#
# The 32-bit builds are tested by running them: natively where the machine
# runs 32-bit code, otherwise through the i386 user-mode emulator, which is
# registered with the kernel only when the kernel refuses a 32-bit program.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev zlib1g-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 wine wine64 python3 python3-pil xvfb gcc-multilib g++-multilib
          wine32:i386 zlib1g-dev:i386 locales fonts-ipafont-gothic xdotool fonts-wine)

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
export DEBIAN_FRONTEND=noninteractive
updated=""

install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  if [ -z "$updated" ]; then
    $sudo_cmd apt-get update -qq
    updated=1
  fi
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
fi
install "${packages[@]}"

# The viewer's ANSI side (the settings file, the plug-ins' names) is tested
# in code page 932, which Wine takes from the Japanese locale; the font shows
# its menus and dialogs, and Wine's own fonts the window captions that Wine
# draws on a display without a window manager. xdotool types and clicks in
# the viewer's end-to-end test.
# The English locale (ANSI code page 1252) shows that the texts read right
# on a system whose code page cannot hold them.
for name in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qix "$name.utf8"; then
    grep -qx "$name.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null ||
      echo "$name.UTF-8 UTF-8" | $sudo_cmd tee -a /etc/locale.gen >/dev/null
    generate=1
  fi
done
[ -z "${generate:-}" ] || $sudo_cmd locale-gen >/dev/null

# The smallest 32-bit Linux program: exit(0).
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
chmod +x "$probe"
if ! "$probe" 2>/dev/null; then
  install qemu-user-static
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || $sudo_cmd mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "registering the i386 emulator for 32-bit programs"
    # Every i386 ELF executable; F keeps the emulator open across mounts.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:'\
'\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $sudo_cmd tee "$binfmt/register" >/dev/null
  fi
  "$probe" || { echo "install-deps: 32-bit programs still do not run"; exit 1; }
fi
