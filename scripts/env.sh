# Shared environment of the set-up, run and test commands (sourced, not run).
MEVRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MEVRA_CACHE="${MEVRA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/mevra}"
MEVRA_BUILD="${MEVRA_BUILD:-$MEVRA_ROOT/build}"
export MEVRA_ROOT MEVRA_CACHE MEVRA_BUILD
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
mkdir -p "$MEVRA_CACHE"

# The Windows build the run and test commands use. Mevra is a 32-bit program,
# and that is what they build and run wherever the machine can start 32-bit
# programs. A kernel without IA-32 emulation (some virtual machines switch it
# off) runs Wine only as a 64-bit program: there the same sources are built
# and run as a 64-bit program, and the 32-bit program is still built.
# MEVRA_ARCH (i686 or x86_64) overrides the choice. Called once Wine is
# installed.
mevra_arch() {
  if [ -z "${MEVRA_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then MEVRA_ARCH=i686; else MEVRA_ARCH=x86_64; fi
  fi
  export MEVRA_ARCH
  if [ "$MEVRA_ARCH" = i686 ]; then
    export WINEARCH=win32 MEVRA_WINE=/usr/lib/wine/wine
    MEVRA_TEMPLATE_PREFIX="$MEVRA_CACHE/wineprefix"
  else
    export WINEARCH=win64 MEVRA_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
    MEVRA_TEMPLATE_PREFIX="$MEVRA_CACHE/wineprefix64"
  fi
  export MEVRA_TEMPLATE_PREFIX
  export MEVRA_JPEG_PREFIX="$MEVRA_CACHE/libjpeg-$MEVRA_ARCH"
}

# Chinese locale for Wine: its ANSI code page becomes 936 (GBK), as on the
# users' systems. Called once the locale exists.
mevra_locale() {
  unset LC_ALL
  export LANG=zh_CN.UTF-8
}

# Starts a virtual display unless one is set; stopped by mevra_cleanup. Xvfb
# picks a free display number itself and writes it down once it accepts
# connections, so two runs starting at once never take the same display.
mevra_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number
  number="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  MEVRA_XVFB_PID=$!
  for _ in $(seq 100); do
    if [ -s "$number" ]; then
      export DISPLAY=":$(head -n 1 "$number")"
      rm -f "$number"
      return 0
    fi
    kill -0 "$MEVRA_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number"
  echo "Xvfb did not start" >&2
  return 1
}

# Gives this run a Wine prefix of its own, made from the prepared one in the
# build's folder of prefixes, and starts one persistent wineserver for it. A
# wineserver serves one prefix, so a run never uses, nor stops, another run's
# server, also when two runs use one build (a test run beside the program).
# The copy shares the prepared prefix's files through hard links, except the
# registry, which Wine rewrites; mevra_cleanup removes it once its server
# has gone. Copies left by runs
# that were killed are removed by the next run.
mevra_wineserver() {
  local runs="$MEVRA_BUILD/wineprefixes-$MEVRA_ARCH"
  mkdir -p "$runs"
  local stale
  for stale in "$runs"/run-*; do
    [ -d "$stale" ] || continue
    kill -0 "${stale##*/run-}" 2>/dev/null && continue
    mevra_stop_wineserver "$stale"
    rm -rf "$stale"
  done
  local prefix="$runs/run-$$"
  rm -rf "$prefix"
  mevra_copy_prefix "$prefix"
  MEVRA_PREFIX="$prefix"
  export WINEPREFIX="$prefix"
  wineserver -p
}

# The program's own prefix for scripts/run: kept between runs, so what the
# program stores under its home folder (the settings file) is there the next
# time, and made anew only when the prepared prefix is. A second run while one
# is going shares its wineserver and leaves it to the run that started it.
mevra_user_wineserver() {
  local prefix="$MEVRA_BUILD/wineprefixes-$MEVRA_ARCH/user"
  if [ ! -f "$prefix/.mevra-copied" ] || [ "$MEVRA_TEMPLATE_PREFIX/.mevra-ready" -nt "$prefix/.mevra-copied" ]; then
    mevra_stop_wineserver "$prefix"
    rm -rf "$prefix"
    mkdir -p "${prefix%/*}"
    mevra_copy_prefix "$prefix"
    touch "$prefix/.mevra-copied"
  fi
  export WINEPREFIX="$prefix"
  if wineserver -p 2>/dev/null; then MEVRA_USER_PREFIX="$prefix"; fi
}

# Copies the prepared prefix: hard links, but the registry, which Wine rewrites.
mevra_copy_prefix() {
  cp -al "$MEVRA_TEMPLATE_PREFIX" "$1"
  local reg
  for reg in "$1"/*.reg; do cp --remove-destination "$MEVRA_TEMPLATE_PREFIX/${reg##*/}" "$reg"; done
}

# Stops the wineserver of a prefix and waits until it has written its
# registry and gone, so the prefix can be removed.
mevra_stop_wineserver() {
  WINEPREFIX="$1" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$1" wineserver -w >/dev/null 2>&1 || true
}

mevra_cleanup() {
  if [ -n "${MEVRA_PREFIX:-}" ]; then
    mevra_stop_wineserver "$MEVRA_PREFIX"
    rm -rf "$MEVRA_PREFIX"
  fi
  if [ -n "${MEVRA_USER_PREFIX:-}" ]; then mevra_stop_wineserver "$MEVRA_USER_PREFIX"; fi
  if [ -n "${MEVRA_XVFB_PID:-}" ]; then kill "$MEVRA_XVFB_PID" 2>/dev/null || true; fi
}

# Configures and builds the run's Windows build (MEVRA_TARGETS, space-separated,
# builds only those targets). Where that build is the 64-bit one, the 32-bit
# program is built beside it, in "$MEVRA_BUILD-i686".
mevra_build() {
  mevra_configure "$MEVRA_BUILD" "$MEVRA_ARCH" "$MEVRA_JPEG_PREFIX"
  # shellcheck disable=SC2086
  cmake --build "$MEVRA_BUILD" ${MEVRA_TARGETS:+--target $MEVRA_TARGETS} || return 1
  if [ "$MEVRA_ARCH" != i686 ] && [ -z "${MEVRA_TARGETS:-}" ]; then
    mevra_configure "$MEVRA_BUILD-i686" i686 "$MEVRA_CACHE/libjpeg-i686"
    cmake --build "$MEVRA_BUILD-i686" --target mevra fakeservice || return 1
  fi
}

mevra_configure() { # build-dir arch jpeg-prefix
  local toolchain="$MEVRA_ROOT/cmake/mingw-$2.cmake"
  if [ -f "$1/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*=$toolchain\$" "$1/CMakeCache.txt"; then
    rm -rf "$1/CMakeCache.txt" "$1/CMakeFiles"
  fi
  if [ ! -f "$1/build.ninja" ]; then
    cmake -S "$MEVRA_ROOT" -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEVRA_JPEG_PREFIX="$3" || return 1
  fi
}
