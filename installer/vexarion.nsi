; The Windows installer, vexarion-setup.exe, built by tools/build-windows.sh:
;
;   makensis -DVERSION=1.2.3 -DPACKAGE=folder -DICON=file.ico -DFILES=dir
;            -DOUT=vexarion-setup.exe installer/vexarion.nsi
;
; PACKAGE is the folder the zip holds (the programs, the screen saver and
; the content); FILES holds install-files.nsh and remove-files.nsh, the
; File and Delete lines of exactly that folder's files.
;
; It installs for the user alone, without administrator rights, into
; %LOCALAPPDATA%\Programs\Vexarion (/D= gives another folder), with a
; Start-menu shortcut and an entry in Add/Remove Programs. /S installs
; silently, /SCREENSAVER also makes vexarion.scr the user's screen saver.
; Installing again, over an older version too, replaces the files in place.
;
; Uninstall.exe removes what the installer made and nothing else: the
; player's settings in %APPDATA%\Vexarion stay unless the box to remove
; them is ticked.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexarion"
!define DESKTOP_KEY "Control Panel\Desktop"
; The class of the program's and the screen saver's windows.
!define WINDOW_CLASS "GLDEMO"

Name "Vexarion"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\Vexarion"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vexarion ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vexarion"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vexarion setup"
VIAddVersionKey "CompanyName" "The Vexarion developers"
VIAddVersionKey "LegalCopyright" "Copyright (C) The Vexarion developers"
VIAddVersionKey "OriginalFilename" "vexarion-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\vexarion.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Vexarion"
!define MUI_FINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCOMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Waits, with the player, until no window of Vexarion is open: Retry looks
; again, Cancel (and a silent install) gives up.
!macro WaitForProgramToEnd un
Function ${un}WaitForProgramToEnd
  ${Do}
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 = 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Vexarion is running. Close it, then press Retry." /SD IDCANCEL IDRETRY again
    SetErrorLevel 3
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForProgramToEnd ""
!insertmacro WaitForProgramToEnd "un."

Section "Vexarion" SecProgram
  SectionIn RO
  Call WaitForProgramToEnd

  ; Nothing is touched before the folder is known to take files, so a
  ; folder or disk that can't be written leaves an older install as it was.
  ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
    StrCpy $R9 1
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\vexarion-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP \
      "Vexarion cannot be installed in $INSTDIR: the folder cannot be written. Choose another folder, or free some room on that disk." \
      /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\vexarion-setup.tmp"

  SetOutPath "$INSTDIR"
  AllowSkipFiles off
  !include "${FILES}\install-files.nsh"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut starts the program in its own folder, beside its content.
  CreateShortcut "$SMPROGRAMS\Vexarion.lnk" "$INSTDIR\vexarion.exe" "" "$INSTDIR\vexarion.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vexarion"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Vexarion developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vexarion.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  ; The uninstaller takes away the Programs folder only if this made it.
  ${If} $R9 = 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder" 1
  ${EndIf}
SectionEnd

Section /o "Use as my screen saver" SecSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\vexarion.scr"
SectionEnd

; /SCREENSAVER chooses "Use as my screen saver" for a silent install.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SCREENSAVER" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecSaver} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "un.Vexarion" UnSecProgram
  SectionIn RO
  Call un.WaitForProgramToEnd
  ReadRegDWORD $R9 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"

  ; The screen saver setting goes only while it still names this one.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$INSTDIR\vexarion.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  !include "${FILES}\remove-files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only if empty: files the player put there stay, and so does the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Vexarion.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${If} $R9 = 1
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
SectionEnd

Section /o "un.Remove my settings too (%APPDATA%\Vexarion)" UnSecSettings
  RMDir /r "$APPDATA\Vexarion"
SectionEnd
