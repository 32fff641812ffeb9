# Sourced by the Windows scripts: the project's own Wine prefix in build-win/, made once, with the Korean dialog
# font "굴림" (Gulim) substituted by the installed NanumGothic so that Hangul renders.
export WINEPREFIX="$PWD/build-win/wine-prefix"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_loader="$(command -v wine64 || echo /usr/lib/wine/wine64)"

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  # No Mono or Gecko to offer, no debug chatter.
  "$wine_loader" wineboot -i >/dev/null 2>&1
  wineserver -w
fi

nanum=/usr/share/fonts/truetype/nanum/NanumGothic.ttf
fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
if [[ -f "$nanum" && ! -f "$fonts_dir/NanumGothic.ttf" ]]; then
  cp "$nanum" "$fonts_dir/"
  substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  for name in 굴림 Gulim; do
    LC_ALL=C.UTF-8 "$wine_loader" reg add "$substitutes" /v "$name" /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
  done
  wineserver -w
fi
