; BkRemote's installer: per user, no administrator rights, into %LOCALAPPDATA%\Programs\BkRemote.
; CMake configures this file and the build runs makensis on it; the files come from STAGE, the
; folder that the install rules fill (the portable zip's contents). VERSION, STAGE and OUTFILE
; may be given on makensis's command line (-DVERSION=...), as the end-to-end test does.
;
; Binding files: an upgrade must lose nothing the user wrote or changed. The shipped binding files
; of the installed version are kept, as shipped, in $INSTDIR\shipped, a folder BkRemote never
; reads; a file in appbindings that is byte-equal to its copy there is one the user never changed.

!ifndef VERSION
  !define VERSION "@PROJECT_VERSION@"
!endif
!ifndef STAGE
  !define STAGE "@BK_STAGE@"
!endif
!ifndef OUTFILE
  !define OUTFILE "@BK_SETUP@"
!endif
!define VENDOR "@CPACK_PACKAGE_VENDOR@"
!define ICON "@BK_ICON@"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\BkRemote"

; BkRemote is 64-bit; the x86 stub would not start under the Wine the tests use either.
Target amd64-unicode
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user
Name "BkRemote"
BrandingText "BkRemote ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\BkRemote"
; An upgrade goes where the installed copy is, also when that was chosen with /D=.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" InstallLocation
; A file that cannot be written stops the installation rather than being skipped.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

Var WasRunning  ; BkRemote ran when Setup started, so Setup starts it again
Var NewFiles    ; the .new files written beside binding files the user changed
Var FinishText

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN "$INSTDIR\BkRemote.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start BkRemote now"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; Functions both the installer and the uninstaller use; PREFIX is "" or "un.".
!macro SharedFunctions PREFIX
  ; $R0 = 1 when the files $R1 and $R2 exist and hold the same bytes, else 0. Binding files are
  ; small, so reading them a byte at a time is quick enough.
  Function ${PREFIX}FilesEqual
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    StrCpy $R0 0
    ClearErrors
    FileOpen $R3 $R1 r
    FileOpen $R4 $R2 r
    ${IfNot} ${Errors}
      ${Do}
        ClearErrors
        FileReadByte $R3 $R5
        ${If} ${Errors}
          ; The first has ended: equal when the second ends here too.
          FileReadByte $R4 $R6
          ${If} ${Errors}
            StrCpy $R0 1
          ${EndIf}
          ${Break}
        ${EndIf}
        FileReadByte $R4 $R6
        ${IfThen} ${Errors} ${|} ${Break} ${|}
        ${IfThen} $R5 != $R6 ${|} ${Break} ${|}
      ${Loop}
    ${EndIf}
    FileClose $R3
    FileClose $R4
    ClearErrors
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
  FunctionEnd

  ; BkRemote refuses WM_CLOSE, so it is ended as Task Manager ends it. Then wait until Windows
  ; lets go of the file, so that it can be replaced or deleted. $WasRunning = 1 when it ran.
  Function ${PREFIX}EndBkRemote
    nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM BkRemote.exe'
    Pop $0
    ; taskkill ends with 0 when it ended a process, 128 when none ran.
    ${If} $0 == 0
      StrCpy $WasRunning 1
      DetailPrint "Ended BkRemote.exe"
    ${EndIf}
    ${ForEach} $1 1 40 + 1
      ClearErrors
      ${IfNot} ${FileExists} "$INSTDIR\BkRemote.exe"
        ${Break}
      ${EndIf}
      FileOpen $2 "$INSTDIR\BkRemote.exe" a
      ${IfNot} ${Errors}
        FileClose $2
        ${Break}
      ${EndIf}
      Sleep 250
    ${Next}
  FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; Installing over a running BkRemote must not stop half-way: every program file that is there
; already must be writable before the first file is written. $R1 is the file.
Function RequireWritable
  ClearErrors
  ${If} ${FileExists} $R1
    FileOpen $0 $R1 a
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "$R1 is in use and cannot be replaced. Close it and run Setup \
        again." /SD IDOK
      ${If} $WasRunning == 1
        Exec '"$INSTDIR\BkRemote.exe"'
      ${EndIf}
      Abort "$R1 is in use; nothing was changed."
    ${EndIf}
    FileClose $0
  ${EndIf}
FunctionEnd

; Puts the new version's binding files ($PLUGINSDIR\shipped) into appbindings without losing any
; change of the user's, then makes them the pristine copies.
Function MergeBindings
  FindFirst $0 $1 "$PLUGINSDIR\shipped\*.cfg"
  ${DoWhile} $1 != ""
    StrCpy $R1 "$INSTDIR\appbindings\$1"
    StrCpy $R2 "$PLUGINSDIR\shipped\$1"
    Call FilesEqual
    ${If} $R0 == 1
      ; Already this version's.
    ${ElseIfNot} ${FileExists} $R1
      CopyFiles /SILENT $R2 $R1
    ${Else}
      ; Unchanged since the last version shipped it: replace it.
      StrCpy $R2 "$INSTDIR\shipped\$1"
      Call FilesEqual
      ${If} $R0 == 1
        CopyFiles /SILENT "$PLUGINSDIR\shipped\$1" $R1
      ${Else}
        ; The user's: it stays. This version's goes beside it, unless the user changed a file
        ; that this version does not change.
        StrCpy $R1 "$PLUGINSDIR\shipped\$1"
        Call FilesEqual
        ${If} $R0 == 0
          CopyFiles /SILENT $R1 "$INSTDIR\appbindings\$1.new"
          DetailPrint "Kept your appbindings\$1; this version's is appbindings\$1.new"
          StrCpy $NewFiles "$NewFiles$\r$\n    $1.new"
        ${EndIf}
      ${EndIf}
    ${EndIf}
    ${If} ${Errors}
      Abort "Could not write appbindings\$1."
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0

  ; A file the last version shipped and this one does not goes, unless the user changed it.
  FindFirst $0 $1 "$INSTDIR\shipped\*.cfg"
  ${DoWhile} $1 != ""
    StrCpy $R1 "$INSTDIR\appbindings\$1"
    StrCpy $R2 "$INSTDIR\shipped\$1"
    ${IfNot} ${FileExists} "$PLUGINSDIR\shipped\$1"
      Call FilesEqual
      ${IfThen} $R0 == 1 ${|} Delete $R1 ${|}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0

  Delete "$INSTDIR\shipped\*.cfg"
  CopyFiles /SILENT "$PLUGINSDIR\shipped\*.cfg" "$INSTDIR\shipped"
FunctionEnd

Section "BkRemote" SecProgram
  SectionIn RO
  ; The new binding files go to a folder of Setup's own first: the merge compares them.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\shipped"
  File "${STAGE}\appbindings\*.cfg"

  Call EndBkRemote
  StrCpy $R1 "$INSTDIR\BkRemote.exe"
  Call RequireWritable
  StrCpy $R1 "$INSTDIR\BkCheck.exe"
  Call RequireWritable

  SetOutPath "$INSTDIR"
  File "${STAGE}\BkRemote.exe" "${STAGE}\BkCheck.exe" "${STAGE}\README.html" "${STAGE}\LICENSE"
  SetOutPath "$INSTDIR\docs"
  File "${STAGE}\docs\*.png" "${STAGE}\docs\appbindings.md"
  CreateDirectory "$INSTDIR\appbindings"
  CreateDirectory "$INSTDIR\shipped"
  Call MergeBindings
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Shortcuts start in the program's folder, where BkCheck finds appbindings.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\BkRemote"
  CreateShortcut "$SMPROGRAMS\BkRemote\BkRemote.lnk" "$INSTDIR\BkRemote.exe"
  CreateShortcut "$SMPROGRAMS\BkRemote\BkRemote binding files.lnk" "$INSTDIR\appbindings"
  CreateShortcut "$SMPROGRAMS\BkRemote\Check binding files.lnk" "$INSTDIR\BkCheck.exe"
  ; A file name cannot hold "?".
  CreateShortcut "$SMPROGRAMS\BkRemote\What does the remote do.lnk" "$INSTDIR\BkCheck.exe" \
    "--listen"
  CreateShortcut "$SMPROGRAMS\BkRemote\BkRemote user guide.lnk" "$INSTDIR\README.html"

  ; Settings > Apps.
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "BkRemote"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "${VENDOR}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\BkRemote.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" EstimatedSize $0

  ; The next section writes the value again when it is chosen.
  DeleteRegValue HKCU "${RUN_KEY}" BkRemote
SectionEnd

Section "Start BkRemote when I sign in" SecStartup
  WriteRegStr HKCU "${RUN_KEY}" BkRemote '"$INSTDIR\BkRemote.exe"'
SectionEnd

Section "-Restart"
  ${If} $WasRunning == 1
    Exec '"$INSTDIR\BkRemote.exe"'
    StrCpy $FinishText "$FinishText It was running, and runs again."
  ${EndIf}
  ; The list can be long: the finish page has room for a hint only.
  ${If} $NewFiles != ""
    MessageBox MB_OK|MB_ICONINFORMATION "You had changed binding files that this version changes \
      too. Yours are kept as they were; this version's are beside them in the appbindings folder, \
      where BkRemote does not read them:$\r$\n$NewFiles$\r$\n$\r$\nCompare the two, copy \
      into yours what you want, and delete the .new file." /SD IDOK
    StrCpy $FinishText "$FinishText$\r$\n$\r$\nYour changed binding files are kept; this \
      version's are beside them as .new files in appbindings."
  ${EndIf}
SectionEnd

Function .onInit
  StrCpy $FinishText "BkRemote ${VERSION} is installed. It runs in the background, without a \
    window."
  ; An upgrade keeps the user's choice: no start-up value, no start-up box ticked.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
  ReadRegStr $1 HKCU "${RUN_KEY}" BkRemote
  ${If} $0 != ""
  ${AndIf} $1 == ""
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
FunctionEnd

; BkRemote that Setup started again runs already: a second copy would only exit.
Function FinishShow
  ${If} $WasRunning == 1
    ${NSD_Uncheck} $mui.FinishPage.Run
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.EndBkRemote
  ; The shipped binding files the user never changed, and the .new files left as written, go;
  ; the user's own and changed files stay, and with them their folder.
  FindFirst $0 $1 "$INSTDIR\shipped\*.cfg"
  ${DoWhile} $1 != ""
    StrCpy $R2 "$INSTDIR\shipped\$1"
    StrCpy $R1 "$INSTDIR\appbindings\$1"
    Call un.FilesEqual
    ${IfThen} $R0 == 1 ${|} Delete $R1 ${|}
    StrCpy $R1 "$INSTDIR\appbindings\$1.new"
    Call un.FilesEqual
    ${IfThen} $R0 == 1 ${|} Delete $R1 ${|}
    Delete $R2
    FindNext $0 $1
  ${Loop}
  FindClose $0
  RMDir "$INSTDIR\shipped"
  RMDir "$INSTDIR\appbindings"

  Delete "$INSTDIR\BkRemote.exe"
  Delete "$INSTDIR\BkCheck.exe"
  Delete "$INSTDIR\README.html"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\docs\*.png"
  Delete "$INSTDIR\docs\appbindings.md"
  RMDir "$INSTDIR\docs"
  RMDir /r "$SMPROGRAMS\BkRemote"
  DeleteRegValue HKCU "${RUN_KEY}" BkRemote
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
