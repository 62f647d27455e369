; The Windows installer of Vantrel: installs the program folder into
; "Program Files\Vantrel" with a Start-menu entry and an uninstaller listed
; in Apps & Features. Built by packaging/windows/make_installer.cmake, which
; defines VERSION, PROGRAM_DIR, FILES_NSH (the program's own files) and OUTFILE.
;
; Silent: NSIS's own /S, and "/SP- /VERYSILENT" (or /SILENT), the arguments
; the program's update gives its installer.
;
; The user's data is never touched: an installed copy keeps it in
; %LOCALAPPDATA%\Vantrel, a copy that keeps it beside itself in Data\ and
; Vantrel.ini there; the installer and the uninstaller write and remove only
; the program's own files, and replace them only while Vantrel is closed.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Vantrel"
!define PUBLISHER "Kelvora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel"
!define UNINSTALLER "Uninstall.exe"
; The named mutex the running program holds.
!define INSTANCE_MUTEX "Vantrel_List"
; How long a closing program is waited for, in half seconds.
!define CLOSE_WAIT 60

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var Upgrade

; InstallProgramFiles and RemoveProgramFiles: the program folder's files.
!include "${FILES_NSH}"

; Waits until no Vantrel runs (its mutex is gone). The program's update
; starts the installer as the program closes, so it is given a while; then a
; visible installer asks, a silent one gives up with exit code 2.
!macro WaitForVantrelClosed
  StrCpy $R8 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .R9'
    ${If} $R9 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R9)'
    IntOp $R8 $R8 + 1
    ${If} $R8 >= ${CLOSE_WAIT}
      ${If} ${Silent}
        SetErrorLevel 2
        Quit
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running.$\r$\n$\r$\nPlease close ${PRODUCT}, then click Retry." \
        IDRETRY +3
      SetErrorLevel 2
      Quit
      StrCpy $R8 0
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
!macroend

Function .onInit
  SetRegView 64
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VERYSILENT" $R1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/SILENT" $R1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
  !insertmacro WaitForVantrelClosed
FunctionEnd

Section "Program"
  SetShellVarContext all
  ${If} ${FileExists} "$INSTDIR\vantrel.exe"
    StrCpy $Upgrade 1
  ${Else}
    StrCpy $Upgrade 0
  ${EndIf}
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro InstallProgramFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vantrel.exe" "" "$INSTDIR\vantrel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vantrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; An update tells the program which version it now is (Updater.ini beside
  ; its settings file), so that it reports the update at its next start.
  ${If} $Upgrade = 1
    SetShellVarContext current
    ${If} ${FileExists} "$INSTDIR\Data\VantrelData.db3"
    ${OrIf} ${FileExists} "$INSTDIR\Vantrel.ini"
      StrCpy $0 "$INSTDIR"
    ${Else}
      StrCpy $0 "$LOCALAPPDATA\${PRODUCT}"
    ${EndIf}
    ${If} ${FileExists} "$0\Vantrel.ini"
      WriteINIStr "$0\Updater.ini" "Program" "NewVersion" "${VERSION}"
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  !insertmacro WaitForVantrelClosed
FunctionEnd

; Only the program's own files go: the folder itself only when nothing else
; (a portable copy's Data\, Backup\, PDF\ ...) is left in it.
Section "Uninstall"
  SetShellVarContext all
  !insertmacro RemoveProgramFiles
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
SectionEnd
