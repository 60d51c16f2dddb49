; Sonarel's per-user installer: no elevation, installs below the user's
; local application data, ends a running copy before it replaces the files.
;
;   makensis -DVERSION=1.4.0.1 -DARCH=x64|x86 -DSOURCE=<folder of the files>
;            -DICON=<sonarel.ico> -DOUTFILE=<setup.exe> sonarel.nsi
;
; Silent use: setup.exe /S [/AUTORUN | /NOAUTORUN] [/D=<folder>]
;             Uninstall.exe /S [/REMOVESETTINGS]
; Exit codes: 0 done, 1 cancelled by the user, 2 failed (with a message when
; interactive).

!ifndef VERSION | ARCH | SOURCE | ICON | OUTFILE
  !error "VERSION, ARCH, SOURCE, ICON and OUTFILE must be defined"
!endif

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Sonarel"
!define PUBLISHER "Korvanix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonarel"
; The shortcut SonarelSettings manages: same name, target and working folder.
!define AUTORUN_LINK "$SMSTARTUP\sonarel.lnk"
!define AUTORUN_DESCRIPTION "Sonarel application autorun link"
!define SETTINGS_FOLDER "$LOCALAPPDATA\korvanix\sonarel"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Sonarel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "${PUBLISHER}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
AllowSkipFiles off

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Sonarel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Sonarel now"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var RestartSonarel  ; 1: a running copy was ended and is started again
Var RestartFrom     ; the folder of the copy that was ended

!define SYNCHRONIZE 0x00100000

; $0 = NAME when FILE exists and cannot be opened for writing.
!macro SET_IF_HELD file name
  ${If} ${FileExists} "${file}"
    ClearErrors
    FileOpen $1 "${file}" a
    ${If} ${Errors}
      StrCpy $0 "${name}"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

; Ends a running Sonarel the way its own window expects (WM_CLOSE ends it with
; exit code 0) and waits until its process is gone: Sonarel.exe cannot be
; replaced or deleted before that, and the process lets go of its
; single-instance mutex a little before it ends. A copy still starting up has
; the mutex but no window yet: that one is waited for by its mutex.
!macro DEFINE_PROGRAM_FUNCTIONS prefix
Function ${prefix}EndRunningSonarel
  StrCpy $RestartSonarel 0
  FindWindow $0 "SonarelIndicator" "Sonarel"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r3) i'
    ; SYNCHRONIZE | PROCESS_QUERY_INFORMATION: wait for it, and find its file
    System::Call 'kernel32::OpenProcess(i 0x00100400, i 0, i r3) p .r4'
    StrCpy $RestartFrom "$INSTDIR"
    ${If} $4 P<> 0
      ; The copy that runs, wherever it was started from, is the one to start
      ; again (Vista and later; XP starts the one in the install folder).
      StrCpy $6 ${NSIS_MAX_STRLEN}
      System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r7, *i r6) i .r8'
      ${If} $8 <> 0
        ${GetParent} $7 $RestartFrom
      ${EndIf}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $RestartSonarel 1
    ${If} $4 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i 10000) i .r5'
      System::Call 'kernel32::CloseHandle(p r4)'
      ${If} $5 <> 0  ; not WAIT_OBJECT_0
        Call ${prefix}StillRunning
      ${EndIf}
    ${EndIf}
  ${EndIf}
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "SonarelAloneMutex") p .r2'
    ${If} $2 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $1 >= 100
      Call ${prefix}StillRunning
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

Function ${prefix}StillRunning
  MessageBox MB_ICONSTOP "Sonarel is still running and could not be ended. Exit it from its notification-area icon, then try again." /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; A refusal after a running Sonarel was ended must not leave the user
; without it: the copy that ran is started again, from where it ran.
Function ${prefix}RestartEndedSonarel
  ${If} $RestartSonarel == 1
  ${AndIf} ${FileExists} "$RestartFrom\Sonarel.exe"
    StrCpy $RestartSonarel 0
    SetOutPath "$RestartFrom"
    Exec '"$RestartFrom\Sonarel.exe"'
  ${EndIf}
FunctionEnd

; A program still running from the folder holds its file: it can be neither
; replaced nor deleted. Asks the user to close it rather than leave a
; half-replaced or half-removed install. $2: the file, $3: its name. Asked
; for the settings dialog before a running Sonarel is ended, and for
; Sonarel.exe after.
Function ${prefix}WaitForFreeProgram
  ${Do}
    StrCpy $0 ""
    !insertmacro SET_IF_HELD "$2" "$3"
    ${If} $0 == ""
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$0 is still open. Close it, then click Retry." /SD IDCANCEL IDRETRY retry
    Call ${prefix}RestartEndedSonarel
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd

Function ${prefix}WaitForFreeSettings
  StrCpy $2 "$INSTDIR\SonarelSettings.exe"
  StrCpy $3 "Sonarel Settings"
  Call ${prefix}WaitForFreeProgram
FunctionEnd

Function ${prefix}WaitForFreeSonarel
  StrCpy $2 "$INSTDIR\Sonarel.exe"
  StrCpy $3 "Sonarel"
  Call ${prefix}WaitForFreeProgram
FunctionEnd
!macroend
!insertmacro DEFINE_PROGRAM_FUNCTIONS ""
!insertmacro DEFINE_PROGRAM_FUNCTIONS "un."

Section "-Sonarel" SecProgram
  ; Everything that can refuse comes before a running Sonarel is ended.
  Call WaitForFreeSettings
  ; Fail before anything is touched when the folder cannot be written.
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\setup-check.tmp" w
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "Sonarel cannot be installed in $\"$INSTDIR$\": the folder cannot be written to." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\setup-check.tmp"

  Call EndRunningSonarel
  Call WaitForFreeSonarel

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${SOURCE}\Sonarel.exe"
  File "${SOURCE}\SonarelSettings.exe"
  File "${SOURCE}\QuickStartGuide.htm"
  File "${SOURCE}\Sonarel128.png"
  File "${SOURCE}\ReadMe.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Sonarel.lnk" "$INSTDIR\Sonarel.exe"
  CreateShortcut "$SMPROGRAMS\Sonarel Settings.lnk" "$INSTDIR\SonarelSettings.exe"

  ; The entry last: it exists only for a complete install.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Sonarel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start Sonarel when I sign in" SecAutorun
  SetOutPath "$INSTDIR"  ; the shortcut's working folder
  CreateShortcut "${AUTORUN_LINK}" "$INSTDIR\sonarel.exe" "" "" "" SW_SHOWNORMAL "" "${AUTORUN_DESCRIPTION}"
SectionEnd

Section "-Autorun off" SecAutorunOff
  ${IfNot} ${SectionIsSelected} ${SecAutorun}
    Delete "${AUTORUN_LINK}"
  ${EndIf}
SectionEnd

Function .onInstSuccess
  ; Interactive installs offer the start on the finish page.
  ${If} ${Silent}
  ${AndIf} $RestartSonarel == 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Sonarel.exe"'
  ${EndIf}
FunctionEnd

Function .onInstFailed
  Call RestartEndedSonarel
FunctionEnd

Function un.onUninstFailed
  Call un.RestartEndedSonarel
FunctionEnd

; A copy run from elsewhere (a portable one) was not the one removed.
Function un.onUninstSuccess
  ${If} $RestartFrom != $INSTDIR
    Call un.RestartEndedSonarel
  ${EndIf}
FunctionEnd

Section "-un.Sonarel"
  Call un.WaitForFreeSettings
  Call un.EndRunningSonarel
  Call un.WaitForFreeSonarel
  Delete "$INSTDIR\Sonarel.exe"
  Delete "$INSTDIR\SonarelSettings.exe"
  Delete "$INSTDIR\QuickStartGuide.htm"
  Delete "$INSTDIR\Sonarel128.png"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The shortcuts and the entry are this install's, unless the entry names
  ; another folder: then they are that install's.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Delete "$SMPROGRAMS\Sonarel.lnk"
    Delete "$SMPROGRAMS\Sonarel Settings.lnk"
    Delete "${AUTORUN_LINK}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd

Section /o "un.Remove my settings" SecRemoveSettings
  Delete "${SETTINGS_FOLDER}\settings.xml"
  Delete "${SETTINGS_FOLDER}\settings.xml.bak"
  RMDir "${SETTINGS_FOLDER}"
  RMDir "$LOCALAPPDATA\korvanix"
SectionEnd

; After the sections, whose indexes they use.
Function .onInit
  ; An upgrade keeps the user's choice: no Startup shortcut, none added.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIfNot} ${FileExists} "${AUTORUN_LINK}"
    !insertmacro UnselectSection ${SecAutorun}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTORUN" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutorun}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOAUTORUN" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutorun}
  ${EndIf}
FunctionEnd

Function un.onInit
  ; Decided by this uninstaller's own folder and the entry, not by
  ; Sonarel.exe, which a virus scanner may have taken away: whatever of the
  ; install is there goes.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
  ${AndIfNot} ${FileExists} "$INSTDIR\Sonarel.exe"
  ${AndIfNot} ${FileExists} "$INSTDIR\SonarelSettings.exe"
    MessageBox MB_ICONSTOP "Sonarel is not installed in $\"$INSTDIR$\"." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecRemoveSettings}
  ${EndIf}
FunctionEnd
