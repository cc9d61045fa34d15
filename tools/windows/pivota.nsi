; The Windows installer of Pivota (NSIS, a 64-bit Unicode program, as Pivota is one).
; tools/windows/build.sh passes VERSION, PACKAGE_DIR (build-win/package/Pivota), ICON and OUTFILE.
; Installs for all users into "Program Files\Pivota", with entries in the Start menu (the window,
; and a command prompt in which "pivota" is at hand), the file type .pvt opened by Pivota, an
; uninstaller and its entry among the installed programs. An installed Pivota cannot write beside
; itself, so it keeps its settings in %APPDATA%\Pivota\pivota.ini; the uninstaller leaves them.

Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "Pivota ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Pivota"
InstallDirRegKey HKLM "Software\Pivota" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pivota"
; The file type of configuration files and backups.
!define PROGID "Pivota.Konfiguration"

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
; The installer runs with administrator rights; Pivota started from its last page must not, or
; it would write its settings into Program Files and its files would belong to the
; administrators. Explorer, which runs as the user, starts it.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsUser

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
LangString ConsoleName ${LANG_GERMAN} "Pivota-Eingabeaufforderung"
LangString ConsoleName ${LANG_ENGLISH} "Pivota command prompt"
LangString ConsoleComment ${LANG_GERMAN} "Eingabeaufforderung mit dem Befehl pivota (Sicherung, Vergleich, Wiederherstellung)"
LangString ConsoleComment ${LANG_ENGLISH} "Command prompt with the command pivota (backup, compare, restore)"
LangString ManualName ${LANG_GERMAN} "Pivota Handbuch"
LangString ManualName ${LANG_ENGLISH} "Pivota Manual"
LangString ManualLanguage ${LANG_GERMAN} "de"
LangString ManualLanguage ${LANG_ENGLISH} "en"
LangString FileTypeName ${LANG_GERMAN} "Pivota-Konfiguration"
LangString FileTypeName ${LANG_ENGLISH} "Pivota configuration"
LangString Needs64Bit ${LANG_GERMAN} "Pivota braucht ein 64-Bit-Windows."
LangString Needs64Bit ${LANG_ENGLISH} "Pivota needs a 64-bit Windows."

Function .onInit
    ; Windows itself does not start this 64-bit installer on a 32-bit system; said all the same
    ; where it might get this far.
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Function RunAsUser
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\pivota.exe"'
FunctionEnd

Section "Pivota" SecMain
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${PACKAGE_DIR}\*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Pivota.lnk" "$INSTDIR\pivota.exe" "" "$INSTDIR\pivota.exe" 0 \
        SW_SHOWNORMAL "" "$(StartMenuComment)"
    ; A command prompt in the user's own folder (where backups may be written), with the
    ; program's folder on its path, that shows what the command pivota does.
    CreateShortcut "$SMPROGRAMS\$(ConsoleName).lnk" "$SYSDIR\cmd.exe" \
        '/k "cd /d "%USERPROFILE%" & set "PATH=$INSTDIR;%PATH%" & pivota --help"' \
        "$INSTDIR\pivota.com" 0 SW_SHOWNORMAL "" "$(ConsoleComment)"

    ; The manual in the installer's language, in the browser (the program shows it with F1).
    CreateShortcut "$SMPROGRAMS\$(ManualName).lnk" "$INSTDIR\manual\$(ManualLanguage)\index.html"

    ; A double click on a configuration file or a backup opens it in Pivota.
    WriteRegStr HKLM "Software\Classes\.pvt" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\.pvt\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "$(FileTypeName)"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\pivota.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\pivota.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegStr HKLM "Software\Pivota" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pivota"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pivota"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pivota.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Pivota.lnk"
    ; The prompt's entry under the name of either language the installer may have spoken.
    Delete "$SMPROGRAMS\Pivota-Eingabeaufforderung.lnk"
    Delete "$SMPROGRAMS\Pivota command prompt.lnk"
    Delete "$SMPROGRAMS\Pivota Handbuch.lnk"
    Delete "$SMPROGRAMS\Pivota Manual.lnk"
    ; Only what the installer put there, and the settings file a Pivota run with administrator
    ; rights may have left beside itself; the user's settings in %APPDATA%\Pivota stay.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\translations"
    RMDir /r "$INSTDIR\manual"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\pivota.exe"
    Delete "$INSTDIR\pivota.com"
    Delete "$INSTDIR\pivota.ini"
    Delete "$INSTDIR\LIESMICH.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    ; The file type, and .pvt only while it still leads to Pivota.
    ReadRegStr $0 HKLM "Software\Classes\.pvt" ""
    ${If} $0 == "${PROGID}"
        DeleteRegKey HKLM "Software\Classes\.pvt"
    ${Else}
        DeleteRegValue HKLM "Software\Classes\.pvt\OpenWithProgids" "${PROGID}"
    ${EndIf}
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Pivota"
SectionEnd
