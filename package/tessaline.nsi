; The Tessaline setup program. It puts tessaline.scr into the system folder, can make it the current
; user's screen saver, and registers an uninstaller with Windows.
;   makensis -DVERSION=<x.y.z> -DSAVER=<tessaline.scr> -DICON=<tessaline.ico> -DOUTFILE=<setup.exe> tessaline.nsi
; Silent install: setup.exe /S, with /SETSAVER to make it the screen saver too.
; Silent removal: Uninstall.exe /S (the uninstall entry's QuietUninstallString).
;
; Two halves, so that each acts for the right account. The machine-wide half (the file in the system
; folder, the uninstaller, the uninstall entry) needs an administrator; the per-user half (the current
; screen saver, Windows' notice of it, Screen Saver Settings) belongs to the user who started the setup
; program. Both programs start with that user's own rights. Where Windows has UAC and the process is
; not elevated, the machine-wide half runs in a second instance of the same program, started with
; "runas" (UAC's prompt, for an administrator's password where the user is none) and given /MACHINE;
; the first instance waits for it, then does the per-user half itself. Elsewhere (Windows 95 to XP, or
; a process already elevated) one process does both.
;
; Exit codes: 0 done; 1 cancelled; 2 the saver's file is in use; 3 no rights to change the system folder.
;
; ANSI, so that it runs on Windows 95, 98 and Me as well as on NT. One plug-in, NSIS's own System,
; calls what the script language lacks: the token's elevation, ShellExecuteEx with its process handle
; and exit code, SystemParametersInfo.

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel user

; Where make_release.py is asked to sign, SIGN is its signing command: the uninstaller is signed before it
; is packed into the setup program, and the setup program once it is made.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1" "the uninstaller"' = 0
  !finalize '${SIGN} "%1" "the setup program"' = 0
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaline"
!define DESKTOP_KEY "Control Panel\Desktop"
!define MACHINE_OPTION "/MACHINE"
!define EXIT_IN_USE 2
!define EXIT_NO_RIGHTS 3
!define SPI_SETSCREENSAVEACTIVE 0x11
!define SPIF_UPDATEINIFILE_SENDCHANGE 3
!define TOKEN_QUERY 8
!define TOKEN_ELEVATION_CLASS 20
!define SEE_MASK_NOCLOSEPROCESS_NO_UI 0x440
!define SHOW_NORMAL 1

Name "Tessaline ${VERSION}"
OutFile "${OUTFILE}"
; Holds only the uninstaller: the saver itself goes into the system folder.
InstallDir "$PROGRAMFILES\Tessaline"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Tessaline"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Tessaline ${VERSION} setup"
VIAddVersionKey LegalCopyright ""

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open Screen Saver Settings, with Tessaline chosen"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var SaverFolder     ; the system folder as 64-bit Windows sees it too
Var SaverPath       ; the installed saver's path there
Var SaverShortPath  ; its short (8.3) form, as the current screen saver is named
Var IsWindows9x     ; 1 on Windows 95, 98 and Me, which keep the current screen saver in system.ini
Var MachineHalf     ; "here": this process does it; "elevated": a second instance does; "only": this
                    ; is that second instance, and does nothing else

; A 32-bit program's system folder on 64-bit Windows is SysWOW64, which it reaches as System32
; through file-system redirection; Windows itself, a 64-bit program there, looks for the saver
; under its real path. Only NT has the "Windows NT" key.
!macro LookAtTheSystem
  ${If} ${FileExists} "$WINDIR\SysWOW64\*.*"
    StrCpy $SaverFolder "$WINDIR\SysWOW64"
  ${Else}
    StrCpy $SaverFolder $SYSDIR
  ${EndIf}
  StrCpy $SaverPath "$SaverFolder\tessaline.scr"
  ReadRegStr $0 HKLM "Software\Microsoft\Windows NT\CurrentVersion" "CurrentVersion"
  ${If} $0 == ""
    StrCpy $IsWindows9x 1
  ${Else}
    StrCpy $IsWindows9x 0
  ${EndIf}
!macroend

; Where the machine-wide half runs. Only Windows with UAC knows the token's elevation; before Vista,
; and on Windows 9x, which has no tokens at all, the question fails and the answer is "here".
!macro ChooseWhereTheMachineHalfRuns
  ${GetParameters} $R9
  ClearErrors
  ${GetOptions} $R9 "${MACHINE_OPTION}" $1
  ${IfNot} ${Errors}
    StrCpy $MachineHalf "only"
    SetSilent silent
  ${Else}
    StrCpy $MachineHalf "here"
    System::Call 'advapi32::OpenProcessToken(p -1, i ${TOKEN_QUERY}, *p .r1) i .r0'
    ${If} $0 <> 0
      System::Call 'advapi32::GetTokenInformation(p r1, i ${TOKEN_ELEVATION_CLASS}, *i .r2, i 4, *i .r3) i .r0'
      System::Call 'kernel32::CloseHandle(p r1)'
      ${If} $0 <> 0
      ${AndIf} $2 = 0
        StrCpy $MachineHalf "elevated"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Runs this program again with "runas" and the given options and waits for it. $R1: its exit code, or
; EXIT_NO_RIGHTS where it did not start (the user declined UAC's prompt, say).
!macro RunElevated un
Function ${un}RunElevated
  Exch $0
  System::Call '*(&l4, i ${SEE_MASK_NOCLOSEPROCESS_NO_UI}, p $HWNDPARENT, t "runas", t "$EXEPATH", t r0, t "", \
                   i ${SHOW_NORMAL}, p, p, p, p, i, p, p) p .r1'
  System::Call 'shell32::ShellExecuteExA(p r1) i .r2'
  StrCpy $R1 ${EXIT_NO_RIGHTS}
  ${If} $2 <> 0
    System::Call '*$1(i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .r3)'
    System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r3, *i .R1)'
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  System::Free $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RunElevated ""
!insertmacro RunElevated "un."

; A saver file in use (a running saver, the control panel's preview) can be neither replaced nor
; deleted, but Windows NT lets it be renamed: it is moved aside under a name of its own, deleted at the
; next restart, so that no later install's file is. $R1 is EXIT_IN_USE where the file stays where it is,
; as on Windows 9x, which keeps a file in use from being renamed too, EXIT_NO_RIGHTS where the folder
; may not be written at all (a limited user's on Windows 2000 or XP), and 0 otherwise. (The error flag
; would not do: testing it clears it.)
!macro MoveSaverAside un
Function ${un}MoveSaverAside
  StrCpy $R1 0
  ; Windows makes the file, or fails; Wine may name one that it could not make.
  ClearErrors
  GetTempFileName $R0 $SaverFolder
  ${If} ${Errors}
  ${OrIfNot} ${FileExists} $R0
    StrCpy $R1 ${EXIT_NO_RIGHTS}
    Return
  ${EndIf}
  Delete $R0
  Delete $SaverPath
  ${IfNot} ${FileExists} $SaverPath
    Return
  ${EndIf}
  Rename $SaverPath $R0
  ${If} ${FileExists} $SaverPath
    StrCpy $R1 ${EXIT_IN_USE}
  ${Else}
    Delete /REBOOTOK $R0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro MoveSaverAside ""
!insertmacro MoveSaverAside "un."

; Nothing more is done: say why, and end with the exit code in $R1.
!macro FailWithR1
  ${If} $R1 = ${EXIT_IN_USE}
    MessageBox MB_ICONSTOP "Tessaline is in use. Close it and the Screen Saver settings, then try again." /SD IDOK
  ${ElseIf} $R1 = ${EXIT_NO_RIGHTS}
    MessageBox MB_ICONSTOP "Tessaline lives in the Windows system folder, which only an administrator may change. \
      Run this again as an administrator, or give an administrator's password when Windows asks for it." /SD IDOK
  ${Else}
    MessageBox MB_ICONSTOP "The part of this that needs an administrator failed (exit code $R1)." /SD IDOK
  ${EndIf}
  SetErrorLevel $R1
  Abort
!macroend

; The file, the uninstaller and the uninstall entry, here or in the elevated instance.
Section "Tessaline screen saver" SectionSaver
  SectionIn RO
  ${If} $MachineHalf == "elevated"
    Push "/S ${MACHINE_OPTION}"
    Call RunElevated
    ${If} $R1 <> 0
      !insertmacro FailWithR1
    ${EndIf}
    Return
  ${EndIf}
  Call MoveSaverAside
  ${If} $R1 <> 0
    !insertmacro FailWithR1
  ${EndIf}
  SetOutPath $SYSDIR
  SetOverwrite try
  ClearErrors
  File "/oname=tessaline.scr" "${SAVER}"
  ${If} ${Errors}
    StrCpy $R1 ${EXIT_IN_USE}
    !insertmacro FailWithR1
  ${EndIf}
  SetOverwrite on
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  Call WriteUninstallEntry
SectionEnd

Section "Make it my screen saver" SectionCurrentSaver
  ${If} $MachineHalf != "only"
    ; Windows starts the saver named here by its short (8.3) path.
    GetFullPathName /SHORT $SaverShortPath $SaverPath
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $SaverShortPath
    ${If} $IsWindows9x == 1
      WriteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE" $SaverShortPath
    ${EndIf}
    ; Windows holds the screen saver's state in memory, read from the registry only at logon: tell it,
    ; as its control panel does. The wait time stays as it is.
    System::Call 'user32::SystemParametersInfoA(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ${EndIf}
SectionEnd

Function .onInit
  !insertmacro LookAtTheSystem
  !insertmacro ChooseWhereTheMachineHalfRuns
  ; A silent install makes Tessaline the screen saver only when /SETSAVER asks for it.
  ClearErrors
  ${GetOptions} $R9 "/SETSAVER" $1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    SectionSetFlags ${SectionCurrentSaver} 0
  ${EndIf}
FunctionEnd

; Windows' own Install verb for screen savers opens Screen Saver Settings with this one chosen, where
; the user sets the wait time: as the user who started the setup program, whose settings they are.
Function OpenScreenSaverSettings
  ${If} ${FileExists} $SaverPath
    GetFullPathName /SHORT $0 $SaverPath
    ExecShell "install" $0
  ${EndIf}
FunctionEnd

Function WriteUninstallEntry
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tessaline screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  SectionGetSize ${SectionSaver} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
FunctionEnd

Function un.onInit
  !insertmacro LookAtTheSystem
  !insertmacro ChooseWhereTheMachineHalfRuns
FunctionEnd

Section "Uninstall"
  ; Taken while the file is still there: a short path exists only for a file that exists.
  GetFullPathName /SHORT $SaverShortPath $SaverPath
  ${If} $MachineHalf == "elevated"
    ; The elevated instance runs where it is (_?=, last and unquoted), not from a copy of itself.
    Push "/S ${MACHINE_OPTION} _?=$INSTDIR"
    Call un.RunElevated
  ${Else}
    Call un.RemoveForTheMachine
  ${EndIf}
  ${If} $R1 <> 0
    !insertmacro FailWithR1
  ${EndIf}
  ${If} $MachineHalf != "only"
    Call un.ForgetScreenSaver
  ${EndIf}
SectionEnd

; $R1: 0, or why nothing was removed.
Function un.RemoveForTheMachine
  Call un.MoveSaverAside
  ${If} $R1 <> 0
    Return
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
FunctionEnd

; Clears the current screen saver only where it is still Tessaline, and tells Windows so. The settings
; under HKCU\Software\Tessaline stay for a later install.
Function un.ForgetScreenSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == $SaverShortPath
  ${OrIf} $0 == $SaverPath
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfoA(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ${EndIf}
  ${If} $IsWindows9x == 1
    ReadINIStr $0 "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${If} $0 == $SaverShortPath
    ${OrIf} $0 == $SaverPath
      DeleteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
FunctionEnd
