# Sourced by the scripts that run Windows programs. Sets up one self-contained
# Wine world per build folder: a 32-bit prefix inside the build folder, a quiet
# log, the Japanese locale (code page 932 for the ...A functions), no Mono or
# Gecko prompts, no crash dialog, and an X display (the caller's, or our own
# Xvfb when there is none).
#
# Needs ROOT (the project folder); BUILD_DIR defaults to $ROOT/build and
# WINEARCH to win32 (the plug-ins' own flavour; win64 for the 64-bit test
# build).

: "${BUILD_DIR:=$ROOT/build}"
export WINEARCH="${WINEARCH:-win32}"
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

WINE_READY_STAMP="$WINEPREFIX/.quillmere-ready"

# Debian's wine script always prefers the 32-bit loader; name ours directly.
if [ "$WINEARCH" = win64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  WINESERVER_BIN=/usr/lib/wine/wineserver64
else
  export WINELOADER=/usr/lib/wine/wine
  WINESERVER_BIN=/usr/lib/wine/wineserver32
fi
export WINESERVER="$WINESERVER_BIN"

# Some virtual machines run 64-bit user code only: their kernel refuses every
# 32-bit program, 32-bit Wine included.
wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Creates the prefix once (about 20 s); later calls return at once.
wine_ensure_prefix() {
  [ -f "$WINE_READY_STAMP" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  echo "wine: creating the prefix in $WINEPREFIX" >&2
  "$WINELOADER" wineboot -i >/dev/null 2>&1 </dev/null
  # The dialogs ask for this face; without the replacement Wine picks a
  # fixed-pitch fallback whose wider glyphs cut the range text short.
  "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
  "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
  "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$WINESERVER_BIN" -w
  touch "$WINE_READY_STAMP"
}

WINE_OWN_XVFB_PID=""

# Keeps the caller's DISPLAY; otherwise starts a private Xvfb on a free number.
wine_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_OWN_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  export DISPLAY=":$n"
}

wine_stop_display() {
  if [ -n "$WINE_OWN_XVFB_PID" ]; then
    kill "$WINE_OWN_XVFB_PID" 2>/dev/null || true
    wait "$WINE_OWN_XVFB_PID" 2>/dev/null || true
    WINE_OWN_XVFB_PID=""
  fi
}
