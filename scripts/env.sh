# Shared environment of the set-up, run and test commands (sourced, not run).
MEVRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MEVRA_CACHE="${MEVRA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/mevra}"
MEVRA_JPEG_PREFIX="$MEVRA_CACHE/libjpeg-i686"
MEVRA_BUILD="${MEVRA_BUILD:-$MEVRA_ROOT/build}"
export MEVRA_ROOT MEVRA_CACHE MEVRA_JPEG_PREFIX MEVRA_BUILD
export WINEPREFIX="${MEVRA_WINEPREFIX:-$MEVRA_CACHE/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
mkdir -p "$MEVRA_CACHE"

# Chinese locale for Wine: its ANSI code page becomes 936 (GBK), as on the
# users' systems. Called once the locale exists.
mevra_locale() {
  unset LC_ALL
  export LANG=zh_CN.UTF-8
}

# Starts a virtual display unless one is set; stopped by mevra_cleanup.
mevra_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  MEVRA_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2; return 1
}

# Starts one persistent wineserver for the run, unless one is already up
# (another run's, which must be left alone).
mevra_wineserver() {
  if ! pgrep -f '/wineserver' >/dev/null 2>&1; then
    wineserver -p
    MEVRA_OWN_WINESERVER=1
  fi
}

mevra_cleanup() {
  if [ -n "${MEVRA_OWN_WINESERVER:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${MEVRA_XVFB_PID:-}" ]; then kill "$MEVRA_XVFB_PID" 2>/dev/null || true; fi
}

mevra_build() {
  if [ ! -f "$MEVRA_BUILD/build.ninja" ]; then
    cmake -S "$MEVRA_ROOT" -B "$MEVRA_BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$MEVRA_ROOT/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMEVRA_JPEG_PREFIX="$MEVRA_JPEG_PREFIX"
  fi
  # MEVRA_TARGETS (space-separated) builds only those targets.
  # shellcheck disable=SC2086
  cmake --build "$MEVRA_BUILD" ${MEVRA_TARGETS:+--target $MEVRA_TARGETS}
}
