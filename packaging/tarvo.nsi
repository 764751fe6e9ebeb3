; The Windows installer: per user, without administrator rights, into the
; user's own programs folder. Built by packaging/CMakeLists.txt, which
; passes VERSION, STAGE (the folder of the zip: every file in it is
; installed), FILES and UNFILES (the File and Delete lines made from that
; folder), ICON and OUTFILE.
;
;   tarvo-VERSION-setup.exe [/S] [/D=FOLDER]     /S: silent; /D: another folder
;   uninstall.exe [/S] [/REMOVESETTINGS]         settings go only when asked

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Tarvo"
!define PUBLISHER "Olvendar"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"
!define SETTINGS_KEY "Software\Olvendar\tarvo"
; "Open with" lists a program registered under Applications, here for
; text files.
!define APPLICATION_KEY "Software\Classes\Applications\tarvo.exe"
!define OPEN_WITH_KEY "Software\Classes\.txt\OpenWithList\tarvo.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarvo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarvo.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Each language of the installer adds its MUI_LANGUAGE and its strings; the
; installer and the uninstaller speak the one of the Windows display
; language, else the first. This file is UTF-8 (makensis -INPUTCHARSET UTF8).
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Ukrainian"
LangString RemoveSettings ${LANG_ENGLISH} "Also remove Tarvo's settings (its code pages, options and window place)?"
LangString RemoveSettings ${LANG_RUSSIAN} "Удалить и настройки Tarvo (кодовые страницы, параметры и положение окна)?"
LangString RemoveSettings ${LANG_UKRAINIAN} "Видалити й параметри Tarvo (кодові сторінки, параметри та розташування вікна)?"

; A running Tarvo would keep its files in use, and save its settings again
; after they were removed: it is closed first, as its own Exit would.
!macro CloseRunningTarvo un
Function ${un}CloseRunningTarvo
    FindWindow $0 "Tarvo"
    ${If} $0 = 0
        Return
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${For} $1 1 100
        Sleep 100
        FindWindow $0 "Tarvo"
        ${If} $0 = 0
            ${Break}
        ${EndIf}
    ${Next}
FunctionEnd
!macroend
!insertmacro CloseRunningTarvo ""
!insertmacro CloseRunningTarvo "un."

Section
    SetShellVarContext current
    Call CloseRunningTarvo
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\Tarvo.lnk" "$INSTDIR\tarvo.exe"
    CreateShortCut "$SENDTO\Tarvo.lnk" "$INSTDIR\tarvo.exe"

    WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${PRODUCT}"
    WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\tarvo.exe" "%1"'
    WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".txt" ""
    WriteRegStr HKCU "${OPEN_WITH_KEY}" "" ""

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvo.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A file that another program has open for a moment (the shell reading a
; shortcut, a virus scanner, Tarvo's own process still ending after its
; window closed) is not deleted at the first try: the uninstaller tries
; again for up to three seconds rather than leave it behind.
!macro DeleteRetrying path
    Push $R9
    StrCpy $R9 0
    ${Do}
        Delete "${path}"
        ${IfNot} ${FileExists} "${path}"
        ${OrIf} $R9 >= 30
            ${Break}
        ${EndIf}
        Sleep 100
        IntOp $R9 $R9 + 1
    ${Loop}
    Pop $R9
!macroend

Section "Uninstall"
    SetShellVarContext current
    Call un.CloseRunningTarvo
    ; Only the files the installer put there: the folder goes once empty,
    ; so nothing of the user's that was put beside them is lost.
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    !insertmacro DeleteRetrying "$SMPROGRAMS\Tarvo.lnk"
    !insertmacro DeleteRetrying "$SENDTO\Tarvo.lnk"
    DeleteRegKey HKCU "${APPLICATION_KEY}"
    DeleteRegKey HKCU "${OPEN_WITH_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Classes\.txt\OpenWithList"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${If} ${Errors}
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDYES remove
        Goto done
    ${EndIf}
remove:
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Olvendar"
done:
SectionEnd
