#!/usr/bin/env bash
# What the tests need beyond g++, CMake and GoogleTest: clang with its
# sanitizer and fuzzer runtimes and clang-tidy, a real terminal (tmux), a GBK
# terminal inside it (luit, which converts with the X font encodings), and with
# --windows the MinGW-w64 cross compiler, wine and a zh_CN.UTF-8 locale (wine
# takes code page 936 from it), and with --posix clang's own C++ library. Installs what is
# missing when it can (as root, with apt-get); otherwise names it and stops.
set -euo pipefail

missing=()
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
command -v clang++ >/dev/null || missing+=(clang)
command -v clang-tidy >/dev/null || missing+=(clang-tidy)
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
  missing+=(libclang-rt-14-dev)
command -v tmux >/dev/null || missing+=(tmux)
command -v luit >/dev/null || missing+=(x11-utils)
[ -d /usr/share/fonts/X11/encodings ] || missing+=(xfonts-encodings)
if [ "${1:-}" = --posix ]; then
  [ -e /usr/include/c++/v1/iostream ] || missing+=(libc++-dev)
  compgen -G '/usr/lib/llvm-*/lib/libc++abi.so' >/dev/null || missing+=(libc++abi-dev)
fi
windows=false
if [ "${1:-}" = --windows ]; then
  windows=true
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
  [ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null || missing+=(wine64)
  [ -f /usr/share/i18n/locales/zh_CN ] || missing+=(locales)
fi

can_install=false
[ "$(id -u)" = 0 ] && command -v apt-get >/dev/null && can_install=true

if [ ${#missing[@]} -gt 0 ]; then
  if ! $can_install; then
    echo "The tests need these Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "== installing what the tests need: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null
fi

if $windows && ! locale -a | grep -qix 'zh_CN.utf8'; then
  if [ "$(id -u)" != 0 ]; then
    echo "The Windows tests need a zh_CN.UTF-8 locale:" >&2
    echo "  sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8" >&2
    exit 1
  fi
  echo "== making the zh_CN.UTF-8 locale"
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
