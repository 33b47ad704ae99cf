# Sourced by the other scripts: one Wine prefix per checkout, kept under build/ (git-ignored).
HM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$HM_ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# Wine's menu builder writes menu entries, icons and desktop files for every shortcut a program
# makes into the Unix home, outside the prefix: nothing run through these scripts may do that.
case "${WINEDLLOVERRIDES:-}" in
  *winemenubuilder*) ;;
  *) export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d" ;;
esac
# The 64-bit loader directly: /usr/bin/wine picks the 32-bit loader whenever wine32 is installed,
# and that loader cannot start on kernels without 32-bit support.
if [ -x /usr/lib/wine/wine64 ]; then HM_WINE=/usr/lib/wine/wine64; else HM_WINE="$(command -v wine64 || command -v wine)"; fi
export WINELOADER="$HM_WINE"
HM_WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

# Wine links the user's Desktop, Documents, Downloads, Music, Pictures and Videos to the Unix
# home directory. Programs under test create and delete files there (the uninstaller removes its
# desktop shortcut), so each becomes a directory of the prefix's own: only the link is removed.
hm_own_folders() {
  local user_dir
  for user_dir in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos}; do
    if [ -L "$user_dir" ]; then rm -f -- "$user_dir" && mkdir -p -- "$user_dir"; fi
  done
}

# Creates the prefix once: virtual desktop for every program (fast hide/destroy, real maximise),
# a CJK font and the font substitutes GDI+ needs to find "宋体" and "Tahoma".
hm_prefix() {
  if [ -f "$WINEPREFIX/.harrowmere-ready" ]; then hm_own_folders; return 0; fi
  mkdir -p "$WINEPREFIX"
  "$HM_WINE" wineboot --init >/dev/null 2>&1 || true
  "$HM_WINESERVER" -w
  hm_own_folders
  local reg="$WINEPREFIX/harrowmere.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1920x1080"' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"宋体"="WenQuanYi Micro Hei"' '"SimSun"="WenQuanYi Micro Hei"' '"Tahoma"="WenQuanYi Micro Hei"' \
    '"Microsoft Sans Serif"="WenQuanYi Micro Hei"' '"MS Shell Dlg"="WenQuanYi Micro Hei"' \
    '"MS Shell Dlg 2"="WenQuanYi Micro Hei"' '"微软雅黑"="WenQuanYi Micro Hei"' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' > "$reg.utf8"
  iconv -f UTF-8 -t UTF-16LE "$reg.utf8" | { printf '\xff\xfe'; cat; } > "$reg"
  "$HM_WINE" regedit /S "$reg" >/dev/null 2>&1 || true
  local fontdir="$WINEPREFIX/drive_c/windows/Fonts"
  for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    [ -f "$f" ] && ln -sf "$f" "$fontdir/" || true
  done
  "$HM_WINESERVER" -w
  touch "$WINEPREFIX/.harrowmere-ready"
}

# Starts this prefix's Wine session on $DISPLAY: one server kept up between programs, its services
# and the virtual desktop. A server left from an earlier run would still be bound to that run's
# display, so it is ended first (this prefix's only). Everything starts detached from the caller's
# output pipes: processes that inherit them would keep a reader such as ctest waiting for their end.
hm_wine_session() {
  "$HM_WINESERVER" -k 2>/dev/null || true
  "$HM_WINESERVER" -w 2>/dev/null || true
  "$HM_WINESERVER" -p >/dev/null 2>&1
  "$HM_WINE" wineboot >/dev/null 2>&1
  local ready="$HM_ROOT/build/x64/tests/support/desktop_ready.exe"
  if [ -f "$ready" ] && ! "$HM_WINE" "$ready" >/dev/null 2>&1; then
    echo "warning: no window could be shown on $DISPLAY" >&2
  fi
  return 0
}

# Ends this prefix's Wine session.
hm_wine_session_end() {
  "$HM_WINESERVER" -k 2>/dev/null || true
}
