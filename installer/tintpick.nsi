; Tintpick's Windows installer: a per-user install without administrator
; rights into %LOCALAPPDATA%\Programs\Tintpick, a Start-menu shortcut and an
; entry in "Apps & features". The uninstaller removes what the installer put
; there and nothing else: the user's history, library and settings stay in
; %APPDATA%\Tintpick.
;
; Built by scripts/windows/package.sh:
;   makensis -DVERSION=1.2.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> tintpick.nsi
; STAGE holds tintpick.exe, the files listed in Section "Tintpick" below,
; LICENSE.txt and tintpick.ico (the installer's own icon).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION is not defined (makensis -DVERSION=x.y.z)"
!endif
!ifndef STAGE
  !error "STAGE is not defined (makensis -DSTAGE=folder)"
!endif
!ifndef OUTFILE
  !define OUTFILE "tintpick-${VERSION}-win64-setup.exe"
!endif

!define APPNAME "Tintpick"
!define PUBLISHER "The Tintpick developers"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tintpick"
; Written beside the program: it tells the program that it is installed and
; keeps its files in %APPDATA%\Tintpick. The portable zip does not have it.
!ifndef INSTALL_MARKER
  !define INSTALL_MARKER "tintpick-installed.txt"
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APPNAME}"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
BrandingText "${APPNAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${APPNAME} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${STAGE}\tintpick.ico"
!define MUI_UNICON "${STAGE}\tintpick.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tintpick.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString MsgRunning ${LANG_SIMPCHINESE} "Tintpick 正在运行。请先退出它，再点“重试”。"
LangString MsgRunning ${LANG_ENGLISH} "Tintpick is running. Quit it, then choose Retry."

; The files the program is made of, installed and removed by name: the
; uninstaller never empties a folder it did not fill.
!macro TintpickFiles DO
  !insertmacro ${DO} "tintpick.exe"
  !insertmacro ${DO} "ColorTable.htm"
  !insertmacro ${DO} "schema.sql"
  !insertmacro ${DO} "schema-postgresql.sql"
  !insertmacro ${DO} "LICENSE.txt"
  !insertmacro ${DO} "README.txt"
!macroend

!macro InstallFile NAME
  File "${STAGE}\${NAME}"
!macroend

!macro RemoveFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; A running copy holds tintpick.exe open: ask the user to quit it rather
; than leave a half-replaced program. A silent run fails with status 2.
!macro WaitUntilFree FILE
  ${If} ${FileExists} "${FILE}"
    ${Do}
      ClearErrors
      FileOpen $0 "${FILE}" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      ${If} ${Silent}
        SetErrorLevel 2
        Quit
      ${EndIf}
      ${IfCmd} MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MsgRunning)" IDCANCEL ${||} Quit ${|}
    ${Loop}
  ${EndIf}
!macroend

Section "Tintpick" SecMain
  SectionIn RO
  SetShellVarContext current
  !insertmacro WaitUntilFree "$INSTDIR\tintpick.exe"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro TintpickFiles InstallFile
  FileOpen $0 "$INSTDIR\${INSTALL_MARKER}" w
  FileWrite $0 "Tintpick ${VERSION}, installed by its setup program: it keeps your files in %APPDATA%\Tintpick.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\tintpick.exe" "" \
    "$INSTDIR\tintpick.exe" 0 SW_SHOWNORMAL "" "${APPNAME} ${VERSION}"

  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APPNAME} ${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\tintpick.exe,0"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro WaitUntilFree "$INSTDIR\tintpick.exe"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  DeleteRegKey HKCU "${UNINSTKEY}"
  !insertmacro TintpickFiles RemoveFile
  Delete "$INSTDIR\${INSTALL_MARKER}"
  Delete "$INSTDIR\uninstall.exe"
  ; Last, and only when empty: anything the user put there stays.
  RMDir "$INSTDIR"
  ; %APPDATA%\Tintpick (history, library, settings) is the user's and stays.
SectionEnd
