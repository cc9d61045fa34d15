; The Windows installer of Pivota (NSIS, Unicode). tools/windows/build.sh passes VERSION,
; PACKAGE_DIR (build-win/package/Pivota), ICON and OUTFILE.
; Installs for all users into "Program Files\Pivota", with an entry in the Start menu, an
; uninstaller and its entry among the installed programs. An installed Pivota cannot write beside
; itself, so it keeps its settings in %APPDATA%\Pivota\pivota.ini; the uninstaller leaves them.

Unicode true
!include "MUI2.nsh"

Name "Pivota ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pivota"
InstallDirRegKey HKLM "Software\Pivota" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pivota"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1031 "ProductName" "Pivota"
VIAddVersionKey /LANG=1031 "FileDescription" "Pivota ${VERSION} – Installation"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "Pivota"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Alle Rechte vorbehalten"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\pivota.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; German first: the installer follows the system's language and falls back to the first one.
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "English"

LangString StartMenuComment ${LANG_GERMAN} "Drehscheiben-Steuerung einrichten, bedienen und prüfen"
LangString StartMenuComment ${LANG_ENGLISH} "Set up, operate and diagnose a turntable controller"

Section "Pivota" SecMain
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${PACKAGE_DIR}\*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Pivota.lnk" "$INSTDIR\pivota.exe" "" "$INSTDIR\pivota.exe" 0 \
        SW_SHOWNORMAL "" "$(StartMenuComment)"

    WriteRegStr HKLM "Software\Pivota" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pivota"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pivota"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pivota.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Pivota.lnk"
    ; Only what the installer put there; the user's settings in %APPDATA%\Pivota stay.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\pivota.exe"
    Delete "$INSTDIR\pivota.com"
    Delete "$INSTDIR\LIESMICH.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Pivota"
SectionEnd
