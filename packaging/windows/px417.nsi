; The PX417 installer for 64-bit Windows. scripts/package-windows.sh runs makensis on it with:
;   PX417_VERSION  the version, x.y.z
;   PX417_OUTFILE  the setup program to write
;   PX417_FILES    an include of SetOutPath and File lines: the zip's files
;   PX417_UNFILES  an include of the Delete and RMDir lines for exactly those files
;   PX417_ICON     the program icon
; It installs into the 64-bit Program Files for all users, adds a Start-menu entry, an entry
; in Add/Remove Programs and the .px417 file type. The uninstaller takes all of that away
; again, and nothing else: kept downloads live in the user's %APPDATA%, which it never touches.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PX417"
!define PROGID "PX417.KeptDownload"
!define SHORTCUT "$SMPROGRAMS\PX417.lnk"
; SHChangeNotify's "file types changed", so Explorer shows the new icon and verb at once.
!define SHCNE_ASSOCCHANGED 0x08000000

Name "PX417 ${PX417_VERSION}"
OutFile "${PX417_OUTFILE}"
InstallDir "$PROGRAMFILES64\PX417"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "PX417 ${PX417_VERSION}"

VIProductVersion "${PX417_VERSION}.0"
VIAddVersionKey "ProductName" "PX417"
VIAddVersionKey "ProductVersion" "${PX417_VERSION}"
VIAddVersionKey "FileVersion" "${PX417_VERSION}"
VIAddVersionKey "FileDescription" "PX417 ${PX417_VERSION} setup"
VIAddVersionKey "CompanyName" "PX417 developers"
VIAddVersionKey "LegalCopyright" "Copyright 2026 PX417 developers. All rights reserved."

!define MUI_ICON "${PX417_ICON}"
!define MUI_UNICON "${PX417_ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry and the all-users Start menu, for the installer and the uninstaller alike.
!macro PX417_CONTEXT
    SetRegView 64
    SetShellVarContext all
!macroend

Function .onInit
    !insertmacro PX417_CONTEXT
FunctionEnd

Function un.onInit
    !insertmacro PX417_CONTEXT
FunctionEnd

Section "PX417"
    !include "${PX417_FILES}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The shortcut's working folder is the one last set.
    SetOutPath "$INSTDIR"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\px417.exe" "" "$INSTDIR\px417.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "PX417"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PX417_VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "PX417 developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\px417.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Kept downloads open in the window, which reads the file named on its command line.
    WriteRegStr HKLM "Software\Classes\.px417" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "PX417 kept download"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\px417.exe,0"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\px417.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    Delete "${SHORTCUT}"
    !include "${PX417_UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only when empty: a folder the user chose may hold files of their own.
    RMDir "$INSTDIR"

    ; .px417 is taken back only while it still points to PX417, and the key goes only when
    ; nothing else (another program's "open with" entry) is left in it.
    ReadRegStr $0 HKLM "Software\Classes\.px417" ""
    ${If} $0 == "${PROGID}"
        DeleteRegValue HKLM "Software\Classes\.px417" ""
    ${EndIf}
    DeleteRegKey /ifempty HKLM "Software\Classes\.px417"
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
