# Wine helpers shared by the test and demo scripts, for the host's 64-bit Wine and the 64-bit
# build. Source it; it changes nothing by itself. The 32-bit build runs under WOW64 through
# scripts/lib/wow64.sh instead: this machine's kernel runs 64-bit user code only.

TESSARY_TOP=${TESSARY_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TESSARY_WINE=${TESSARY_WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
source "$TESSARY_TOP/scripts/lib/prefix_folders.sh"

# wine_prefix NAME: makes (once) and exports the prefix build/wine/NAME.
wine_prefix() {
  export WINEPREFIX="$TESSARY_TOP/build/wine/$1"
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/.tessary-ready" ]; then
    # A prefix whose making was cut short is made anew.
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$TESSARY_WINE" wineboot -i >/dev/null 2>&1 || true
    # Wine draws the window frames itself, so windows have captions even without a window manager.
    "$TESSARY_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    "$TESSARY_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.tessary-ready"
  fi
  prefix_own_user_folders
}

# wine_run PROGRAM [ARGS...]: runs a Windows program in the current prefix.
wine_run() {
  "$TESSARY_WINE" "$@"
}

# wine_stop: ends every process of the current prefix.
wine_stop() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}
