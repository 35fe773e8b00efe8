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

Var SaverPath    ; the installed saver's path as 64-bit Windows sees it too
Var IsWindows9x  ; 1 on Windows 95, 98 and Me, which keep the current screen saver in system.ini

; A 32-bit program's system folder on 64-bit Windows is SysWOW64, which it reaches as System32
; through file-system redirection; Windows itself, a 64-bit program there, looks for the saver
; under its real path. Only NT has the "Windows NT" key.
!macro LookAtTheSystem
  ${If} ${FileExists} "$WINDIR\SysWOW64\*.*"
    StrCpy $SaverPath "$WINDIR\SysWOW64\tessaline.scr"
  ${Else}
    StrCpy $SaverPath "$SYSDIR\tessaline.scr"
  ${EndIf}
  ReadRegStr $0 HKLM "Software\Microsoft\Windows NT\CurrentVersion" "CurrentVersion"
  ${If} $0 == ""
    StrCpy $IsWindows9x 1
  ${Else}
    StrCpy $IsWindows9x 0
  ${EndIf}
!macroend

Section "Tessaline screen saver" SectionSaver
  SectionIn RO
  SetOutPath $SYSDIR
  File "/oname=tessaline.scr" "${SAVER}"
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
  Call un.ForgetScreenSaver
  Delete /REBOOTOK $SaverPath
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

; Clears the current screen saver only where it is still Tessaline. The settings under
; HKCU\Software\Tessaline stay for a later install.
Function un.ForgetScreenSaver
  GetFullPathName /SHORT $1 $SaverPath
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == $1
  ${OrIf} $0 == $SaverPath
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ${If} $IsWindows9x == 1
    ReadINIStr $0 "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${If} $0 == $1
    ${OrIf} $0 == $SaverPath
      DeleteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
FunctionEnd
