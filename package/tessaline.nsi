; The Tessaline setup program. It puts tessaline.scr into the system folder, can make it the current
; user's screen saver, and registers an uninstaller with Windows.
;   makensis -DVERSION=<x.y.z> -DSAVER=<tessaline.scr> -DICON=<tessaline.ico> -DOUTFILE=<setup.exe> tessaline.nsi
; Silent install: setup.exe /S, with /SETSAVER to make it the screen saver too.
; Silent removal: Uninstall.exe /S (the uninstall entry's QuietUninstallString).
;
; ANSI, so that it runs on Windows 95, 98 and Me as well as on NT; no plug-ins, so that the setup
; program's own import table is all it needs from the system.

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaline"
!define DESKTOP_KEY "Control Panel\Desktop"

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
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var SaverFolder  ; the system folder as 64-bit Windows sees it too
Var SaverPath    ; the installed saver's path there
Var SaverShortPath ; its short (8.3) form, as the current screen saver is named
Var IsWindows9x  ; 1 on Windows 95, 98 and Me, which keep the current screen saver in system.ini

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

; A saver file in use (a running saver, the control panel's preview) can be neither replaced nor
; deleted, but Windows NT lets it be renamed: it is moved aside under a name of its own, deleted at the
; next restart, so that no later install's file is. $R1 is "in use" where the file stays where it is,
; as on Windows 9x, which keeps a file in use from being renamed too, and empty otherwise. (The error
; flag would not do: testing it clears it.)
!macro MoveSaverAside un
Function ${un}MoveSaverAside
  StrCpy $R1 ""
  Delete $SaverPath
  ${IfNot} ${FileExists} $SaverPath
    Return
  ${EndIf}
  GetTempFileName $R0 $SaverFolder
  Delete $R0
  Rename $SaverPath $R0
  ${If} ${FileExists} $SaverPath
    StrCpy $R1 "in use"
  ${Else}
    Delete /REBOOTOK $R0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro MoveSaverAside ""
!insertmacro MoveSaverAside "un."

; The file stays as it was: say so, and end with exit code 2, as an aborted setup does.
!macro FailInUse
  MessageBox MB_ICONSTOP "Tessaline is in use. Close it and the Screen Saver settings, then try again." /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

Section "Tessaline screen saver" SectionSaver
  SectionIn RO
  Call MoveSaverAside
  ${If} $R1 != ""
    !insertmacro FailInUse
  ${EndIf}
  SetOutPath $SYSDIR
  SetOverwrite try
  ClearErrors
  File "/oname=tessaline.scr" "${SAVER}"
  ${If} ${Errors}
    !insertmacro FailInUse
  ${EndIf}
  SetOverwrite on
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  Call WriteUninstallEntry
SectionEnd

Section "Make it my screen saver" SectionCurrentSaver
  ; Windows starts the saver named here by its short (8.3) path.
  GetFullPathName /SHORT $0 $SaverPath
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ${If} $IsWindows9x == 1
    WriteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE" $0
  ${EndIf}
SectionEnd

Function .onInit
  !insertmacro LookAtTheSystem
  ; A silent install makes Tessaline the screen saver only when /SETSAVER asks for it.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SETSAVER" $1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    SectionSetFlags ${SectionCurrentSaver} 0
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
FunctionEnd

Section "Uninstall"
  ; Taken while the file is still there: a short path exists only for a file that exists.
  GetFullPathName /SHORT $SaverShortPath $SaverPath
  Call un.MoveSaverAside
  ${If} $R1 != ""
    !insertmacro FailInUse
  ${EndIf}
  Call un.ForgetScreenSaver
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

; Clears the current screen saver only where it is still Tessaline. The settings under
; HKCU\Software\Tessaline stay for a later install.
Function un.ForgetScreenSaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == $SaverShortPath
  ${OrIf} $0 == $SaverPath
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ${If} $IsWindows9x == 1
    ReadINIStr $0 "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${If} $0 == $SaverShortPath
    ${OrIf} $0 == $SaverPath
      DeleteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
FunctionEnd
