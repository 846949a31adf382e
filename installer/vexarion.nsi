; The Windows installer, vexarion-setup.exe, built by tools/build-windows.sh:
;
;   makensis -DVERSION=1.2.3 -DPACKAGE=folder -DICON=file.ico -DFILES=dir
;            -DOUT=vexarion-setup.exe installer/vexarion.nsi
;
; PACKAGE is the folder the zip holds (the programs, the screen saver and
; the content); FILES holds install-files.nsh and remove-files.nsh, the
; File, Rename and Delete lines of exactly that folder's files.
;
; It installs for the user alone, without administrator rights, into
; %LOCALAPPDATA%\Programs\Vexarion (/D= gives another folder), with a
; Start-menu shortcut and an entry in Add/Remove Programs. /S installs
; silently, /SCREENSAVER also makes vexarion.scr the user's screen saver.
; It refuses (exit code 3) while Vexarion runs, and (exit code 4) a folder
; or a disk that can't take the files, leaving the old install as it was.
; Installing again, over an older version too, replaces the files in place.
;
; Uninstall.exe removes what the installer made and nothing else: the
; player's settings in %APPDATA%\Vexarion stay unless the box to remove
; them is ticked (/REMOVESETTINGS ticks it for a silent uninstall).

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

;  True (in $0) while a program of the install in $INSTDIR runs: a window
; of its class is open (the program, or the screen saver), or one of its
; executables can't be opened for writing, as Windows keeps a running one,
; which also covers the start-up dialog and the replay.
!macro ExecutableBusy file
  ${If} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${file}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

; Waits, with the player, until no program of Vexarion runs: Retry looks
; again, Cancel (and a silent install) gives up with exit code 3, before
; anything was touched.
!macro WaitForProgramToEnd un
Function ${un}WaitForProgramToEnd
  ${Do}
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 <> 0
      StrCpy $0 1
    ${EndIf}
    !insertmacro ExecutableBusy "vexarion.exe"
    !insertmacro ExecutableBusy "vexarion.scr"
    !insertmacro ExecutableBusy "vexarion-replay.exe"
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

;  The folder the new files are written to before they take their places.
!define STAGING "$INSTDIR\Setup.tmp"

; The folder or the disk can't take the files: the player is told, what
; was written goes, and the install ends with exit code 4, the old
; install (if any) as it was.
Function CannotWrite
  RMDir /r "${STAGING}"
  Delete "$INSTDIR\vexarion-setup.tmp"
  MessageBox MB_OK|MB_ICONSTOP \
    "Vexarion cannot be installed in $INSTDIR: the folder cannot be written, or the disk is full. Choose another folder, or free some room on that disk. Nothing was changed." \
    /SD IDOK
  SetErrorLevel 4
  Quit
FunctionEnd

; The player chose Abort on a file that could not be written.
Function .onInstFailed
  RMDir /r "${STAGING}"
FunctionEnd

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
    Call CannotWrite
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\vexarion-setup.tmp"

  ; Every new file is first written into a folder of its own beside the
  ; old ones; only once all of them are there do they take the old ones'
  ; places, by renaming, which needs no room on the disk. A disk that fills
  ; up on the way leaves the old install whole.
  RMDir /r "${STAGING}"
  SetOutPath "${STAGING}"
  AllowSkipFiles on
  ClearErrors
  !include "${FILES}\install-files.nsh"
  WriteUninstaller "${STAGING}\Uninstall.exe"
  ${If} ${Errors}
    Call CannotWrite
  ${EndIf}
  SetOutPath "$INSTDIR"
  !include "${FILES}\move-files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  Rename "${STAGING}\Uninstall.exe" "$INSTDIR\Uninstall.exe"
  RMDir "${STAGING}"

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
;
; A /D= folder that can't be one (a path under a file, say) is dropped
; before this runs, and the default folder would take its place without a
; word: the command line as it was given tells, and such a folder is
; refused as one that can't be written.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SCREENSAVER" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecSaver} ${SF_SELECTED}
  ${EndIf}

  System::Call "kernel32::GetCommandLineW() t .r0"
  StrLen $1 $0
  StrCpy $2 0
  ${Do}
    ${If} $2 >= $1
      Return
    ${EndIf}
    StrCpy $3 $0 4 $2
    ${If} $3 == " /D="
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  IntOp $2 $2 + 4
  StrCpy $3 $0 "" $2
  ; NSIS drops a last backslash.
  StrCpy $4 $3 1 -1
  ${If} $4 == "\"
    StrCpy $3 $3 -1
  ${EndIf}
  ${If} $3 != $INSTDIR
    StrCpy $INSTDIR $3
    Call CannotWrite
  ${EndIf}
FunctionEnd

Section "un.Vexarion" UnSecProgram
  SectionIn RO
  Call un.WaitForProgramToEnd
  ReadRegDWORD $R9 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"

  ; The screen saver setting goes only while it still names this one, by
  ; its long name or by the short one Display Properties may write.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\vexarion.scr"
  ${If} $0 == "$INSTDIR\vexarion.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  !include "${FILES}\remove-files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  ; What an install cut short (a full disk) may have left.
  RMDir /r "$INSTDIR\Setup.tmp"
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

; /REMOVESETTINGS ticks "Remove my settings too" for a silent uninstall.
Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
