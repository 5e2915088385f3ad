# Makes the Wine prefix $WINEPREFIX (on $DISPLAY) that the Windows tests run
# in: wineboot, then the fonts a Windows desktop has and this program asks
# for, as Wine's replacements by free fonts of the same metrics and scripts
# (Debian's fonts-liberation and fonts-wqy-microhei). Without them Qt falls
# back to a font without Latin digits, and the edits show no text.
# Source it and call wine_init_prefix LOGFILE.
wine_init_prefix() {
  local log=$1
  export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >"$log" 2>&1 || { cat "$log" >&2; return 1; }
  cat >"$WINEPREFIX/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"Microsoft YaHei UI"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
REG
  wine regedit /S "$WINEPREFIX/fonts.reg" >>"$log" 2>&1 || { cat "$log" >&2; return 1; }
  rm "$WINEPREFIX/fonts.reg"
  wineserver -w
}
