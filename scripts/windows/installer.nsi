; The per-user installer of Inkvale for Windows, made by package.sh with makensis (Debian
; package nsis) from the install tree STAGE. It needs no administrator: everything goes into
; the user's own folders and registry. Defined by package.sh: VERSION, STAGE, FILES (the
; uninstaller's list of files), SIZE_KB, ICON, OUTFILE.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Inkvale"
!define COMPANY "TAVRINO"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PROGID "Inkvale.Picture"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Inkvale.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\license.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The picture types the program opens, offered under "Open with".
!macro ForEachPictureType MACRO
    !insertmacro ${MACRO} ".bmp"
    !insertmacro ${MACRO} ".gif"
    !insertmacro ${MACRO} ".png"
    !insertmacro ${MACRO} ".tif"
    !insertmacro ${MACRO} ".tiff"
    !insertmacro ${MACRO} ".jpg"
    !insertmacro ${MACRO} ".jpeg"
!macroend
!macro OfferFor EXTENSION
    WriteRegStr HKCU "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}" ""
    WriteRegStr HKCU "Software\Classes\Applications\Inkvale.exe\SupportedTypes" "${EXTENSION}" ""
!macroend
!macro WithdrawFrom EXTENSION
    DeleteRegValue HKCU "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}"
!macroend

Section
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Inkvale.exe"

    WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Picture"
    WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\Inkvale.exe",0'
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" \
        '"$INSTDIR\Inkvale.exe" "%1"'
    WriteRegStr HKCU "Software\Classes\Applications\Inkvale.exe" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKCU "Software\Classes\Applications\Inkvale.exe\shell\open\command" "" \
        '"$INSTDIR\Inkvale.exe" "%1"'
    !insertmacro ForEachPictureType OfferFor
    ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Inkvale.exe",0'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !include "${FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !insertmacro ForEachPictureType WithdrawFrom
    DeleteRegKey HKCU "Software\Classes\${PROGID}"
    DeleteRegKey HKCU "Software\Classes\Applications\Inkvale.exe"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    ; The settings are the user's: they go only when the user says so (a silent uninstall
    ; keeps them). They live beside the program when its folder is writable, else in the
    ; user's application data; the update check keeps its schedule in the registry.
    MessageBox MB_YESNO|MB_ICONQUESTION "Also delete your ${PRODUCT} settings?" /SD IDNO \
        IDNO keep
    Delete "$INSTDIR\settings.ini"
    Delete "$LOCALAPPDATA\${COMPANY}\${PRODUCT}\settings.ini"
    RMDir "$LOCALAPPDATA\${COMPANY}\${PRODUCT}"
    RMDir "$LOCALAPPDATA\${COMPANY}"
    Delete "$APPDATA\${COMPANY}\${PRODUCT}\settings.ini"
    RMDir "$APPDATA\${COMPANY}\${PRODUCT}"
    RMDir "$APPDATA\${COMPANY}"
    DeleteRegKey HKCU "Software\${COMPANY}\${PRODUCT}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
keep:
    ; Stays when the user kept a settings file in it, or put files of their own there.
    RMDir "$INSTDIR"
SectionEnd
