; Setup of Jotty Notes: a per-user installation that needs no administrator rights. The notes
; live in the Data folder of the install folder, so it goes where the user may write.
; Built by CMake: makensis -DVERSION=1.0.1 -DPROGRAM=<jnotes.exe> -DOUTFILE=<setup.exe> -DSIGN=<sign.sh>
Unicode true
; 64-bit builds, which test where Wine runs no 32-bit program, get a 64-bit setup program.
!ifdef TARGET
Target ${TARGET}
!endif
!include MUI2.nsh
!include WinMessages.nsh

!define PRODUCT "Jotty Notes"
!define PUBLISHER "Kestrova"
!define INSTALL_KEY "Software\${PUBLISHER}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define IDM_EXIT 423
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
; Sharp text at today's display scales rather than a stretched bitmap.
ManifestDPIAware true
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${INSTALL_KEY}" "InstalledPath"
SetCompressor /SOLID lzma
; A signed release signs its uninstaller here, as it is made. Written at install time from the
; header of the signed setup program instead, it would carry a certificate entry pointing past
; its own end.
!if /FileExists "$%JNOTES_SIGN_PKCS12%"
!uninstfinalize '"${SIGN}" "%1"' = 0
!endif
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "../res/icons/notes.ico"
!define MUI_UNICON "../res/icons/notes.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\jnotes.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Your notes stay in the Data folder of $INSTDIR unless you tick the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

; A running copy keeps jnotes.exe in use. It is asked to quit as the Exit of its tray menu
; does (its page is saved first), and setup waits for its process to end.
!macro CLOSE_RUNNING_COPY un
Function ${un}closeRunningCopy
    retry:
    FindWindow $0 "CLS_jNotes"
    StrCmp $0 0 done
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    SendMessage $0 ${WM_COMMAND} ${IDM_EXIT} 0 /TIMEOUT=5000
    System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r3"
    System::Call "kernel32::CloseHandle(p r2)"
    StrCmp $3 0 retry
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is still running.$\r$\nExit it from the menu of its tray icon, then press Retry." \
        /SD IDCANCEL IDRETRY retry
    Abort
    done:
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; Only the program files are written: the Data folder of an earlier version is left as it is.
Section
    Call closeRunningCopy
    SetOutPath "$INSTDIR"
    File "/oname=jnotes.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninst.exe"
    WriteRegStr HKCU "${INSTALL_KEY}" "InstalledPath" "$INSTDIR"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\jnotes.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\jnotes.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "-un.Program"
    Call un.closeRunningCopy
    Delete "$INSTDIR\jnotes.exe"
    Delete "$INSTDIR\uninst.exe"
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${INSTALL_KEY}" "InstalledPath"
    DeleteRegValue HKCU "${INSTALL_KEY}" "TextSize"
    DeleteRegValue HKCU "${INSTALL_KEY}" "WindowPlace"
    DeleteRegValue HKCU "${INSTALL_KEY}" "TextKeptInDocuments"
    DeleteRegValue HKCU "${INSTALL_KEY}" "TextKeptAtTheEndTold"
    DeleteRegKey /ifempty HKCU "${INSTALL_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
    ; The program writes its start-up values under HKLM, or under HKCU when HKLM refuses.
    DeleteRegValue HKLM "${RUN_KEY}" "Jotty Notes"
    DeleteRegValue HKLM "${RUN_KEY}" "JottyNotes"
    DeleteRegValue HKCU "${RUN_KEY}" "Jotty Notes"
    DeleteRegValue HKCU "${RUN_KEY}" "JottyNotes"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    RMDir "$INSTDIR"
SectionEnd

; Not ticked by default, so a silent uninstall keeps the notes too.
Section /o "un.Delete my notes (the Data folder)"
    RMDir /r "$INSTDIR\Data"
    RMDir "$INSTDIR"
SectionEnd
