; The Windows installer. scripts/release builds it with makensis, passing
; VERSION, PUBLISHER, COPYRIGHT, SOURCE (the folder holding the files to install) and OUTFILE.
; Installer and uninstaller run silently with /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "LogicLib.nsh"
!include "x64.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Tarnwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class and its "Exit" command (the tray menu's E&xit).
!define MAIN_WINDOW_CLASS "TarnwickMain"
!define EXIT_COMMAND 101

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Asks a running instance to exit as its tray menu's Exit does (it saves its
; settings and removes its tray icon), then waits up to 10 s for it to go.
!macro EndRunningInstance
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_COMMAND} ${EXIT_COMMAND} 0 /TIMEOUT=5000
    StrCpy $1 0
    ${DoWhile} $1 < 100
      Sleep 100
      FindWindow $0 "${MAIN_WINDOW_CLASS}"
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  !insertmacro EndRunningInstance
  SetOutPath "$INSTDIR"
  File "${SOURCE}\tarnwick.exe"
  File "${SOURCE}\tarnwick.html"
  File "${SOURCE}\README.txt"
  File "${SOURCE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tarnwick.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Removes the program and every trace of its installation, but keeps the
; settings (SOFTWARE\Fenmoor\Tarnwick), so a reinstall keeps the user's script.
Section "Uninstall"
  !insertmacro EndRunningInstance
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\tarnwick.html"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\tmpdog.html"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; The start-with-Windows value: the program writes it under the machine's
  ; key, or the user's when the machine's cannot be written.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
