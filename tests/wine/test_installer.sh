#!/usr/bin/env bash
# The installer under Wine: a silent per-user install into
# %LOCALAPPDATA%\Programs\Tintpick with its Start-menu shortcut and its
# "Apps & features" entry; the installed program keeps its history and
# library in %APPDATA%\Tintpick; a second install over a running copy is
# refused; the silent uninstall removes the program, the shortcut and the
# entry, and keeps the user's files.
# usage: test_installer.sh DIST_FOLDER
source "$(dirname "$0")/lib.sh"
wine_setup 1024x768
[ -f "$WINE_SETUP" ] || fail "no $WINE_SETUP"
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tintpick'
INST="$WINE_LOCALAPPDATA/Programs/Tintpick"
LNK="$WINE_APPDATA/Microsoft/Windows/Start Menu/Programs/Tintpick.lnk"
DATA="$WINE_APPDATA/Tintpick"
BG=204080

wine "$WINE_SETUP" /S || fail "the silent install ended with status $?"
for f in tintpick.exe uninstall.exe tintpick-installed.txt ColorTable.htm schema.sql LICENSE.txt; do
  [ -f "$INST/$f" ] || fail "the install has no $f"
done
[ -f "$LNK" ] || fail "no Start-menu shortcut"
grep -aq 'tintpick.exe' "$LNK" || fail "the shortcut does not lead to tintpick.exe"

wine reg query "$KEY" | tr -d '\r' >"$E2E_TMP/key.txt" || fail "no uninstall key $KEY"
value() { awk -v v="$1" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print; exit }' "$E2E_TMP/key.txt"; }
winst='C:\users\'"$(id -un)"'\AppData\Local\Programs\Tintpick'
[ "$(value DisplayName)" = "Tintpick $WINE_VERSION" ] || fail "DisplayName is '$(value DisplayName)'"
[ "$(value DisplayVersion)" = "$WINE_VERSION" ] || fail "DisplayVersion is '$(value DisplayVersion)'"
[ -n "$(value Publisher)" ] || fail "no Publisher"
[ "$(value InstallLocation)" = "$winst" ] || fail "InstallLocation is '$(value InstallLocation)'"
[ "$(value DisplayIcon)" = "$winst\\tintpick.exe,0" ] || fail "DisplayIcon is '$(value DisplayIcon)'"
[ "$(value UninstallString)" = "\"$winst\\uninstall.exe\"" ] ||
  fail "UninstallString is '$(value UninstallString)'"
[ "$(value QuietUninstallString)" = "\"$winst\\uninstall.exe\" /S" ] ||
  fail "QuietUninstallString is '$(value QuietUninstallString)'"
[ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] || fail "NoModify/NoRepair not set"
size_kb=$(( $(value EstimatedSize) ))
exe_kb=$(( $(stat -c %s "$INST/tintpick.exe") / 1024 ))
[ "$size_kb" -ge "$exe_kb" ] || fail "EstimatedSize $size_kb KB is below the program's $exe_kb KB"
echo "installed silently: files, shortcut and the uninstall key ($size_kb KB)"

# The installed program, started from its folder: its files go to %APPDATA%.
WINE_APPDIR=$INST
xsetroot -solid "#$BG"
wine_start_app
read -r MX MY _ _ < <(e2e_geometry "$E2E_MAIN_WID")
wine_wait_painted "$E2E_MAIN_WID" 310 136
[ -f "$DATA/HisColors.dat" ] || fail "no history file in %APPDATA%\\Tintpick at start-up"
[ -f "$DATA/store.kvd" ] || fail "no library made in %APPDATA%\\Tintpick at first start"
xdotool mousemove --sync $((MX + 323)) $((MY + 148)) mousedown 1
sleep 0.2
xdotool mousemove --sync 600 420
sleep 0.1
xdotool mousemove --sync 620 440
e2e_wait_pixel live $((MX + 310)) $((MY + 136)) "$BG"
xdotool mouseup 1
e2e_wait_pixel history $((MX + 21)) $((MY + 110)) "$BG"

# A second install while it runs is refused, and leaves it whole.
status=0
wine "$WINE_SETUP" /S || status=$?
[ "$status" = 2 ] || fail "installing over the running program ended with status $status, expected 2"
cmp -s "$INST/tintpick.exe" <(unzip -p "$WINE_ZIP" tintpick.exe) ||
  fail "the refused install changed tintpick.exe"

e2e_click $((MX + 321)) $((MY + 186)) # 退出
e2e_wait_exit "$E2E_APP_PID" 15
want="${BG}0100000000000000${BG}$(printf 'FF%.0s' $(seq 45))"
got=$(wine_history_hex "$DATA/HisColors.dat")
[ "$got" = "$want" ] || fail "%APPDATA%\\Tintpick\\HisColors.dat is $got, expected $want"
for f in HisColors.dat store.kvd; do
  [ ! -e "$INST/$f" ] || fail "the installed program wrote $f beside itself"
done
sqlite3 "$DATA/store.kvd" "insert into Colors(Name,RVal,GVal,BVal,Comment) values ('kept',1,2,3,'')"
echo "the installed program kept its history and library in %APPDATA%\\Tintpick"

# The silent uninstall runs a copy of itself from the temporary folder:
# wait for the program's folder to go, its last step.
wine "$INST/uninstall.exe" /S || fail "the silent uninstall ended with status $?"
for i in $(seq 100); do
  [ -e "$INST" ] || break
  sleep 0.2
done
[ ! -e "$INST" ] || fail "the uninstall left $(ls "$INST")"
[ ! -e "$LNK" ] || fail "the uninstall left the Start-menu shortcut"
! wine reg query "$KEY" >/dev/null 2>&1 || fail "the uninstall left the uninstall key"
[ "$(wine_history_hex "$DATA/HisColors.dat")" = "$want" ] || fail "the uninstall changed the history"
[ "$(sqlite3 "$DATA/store.kvd" "select Name from Colors where Name = 'kept'")" = kept ] ||
  fail "the uninstall lost the library"
echo "PASS"
