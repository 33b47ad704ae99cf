; Harrowmere-setup.exe: installs the client and its uninstaller, the shortcuts and the
; Uninstall entry that uninstall.exe removes again. Built by CMake (installer/CMakeLists.txt):
;   makensis -DTARGET=amd64-unicode -DOUTFILE=... -DCLIENT_EXE=... -DUNINSTALL_EXE=... -DVERSION=...
; Runs silently with /S; /D=<directory> (last on the command line) chooses the directory.
; The uninstaller later removes the whole installation directory, so the directory is never a
; drive or share root, a system or user folder or one that holds such a folder (the folders the
; uninstaller refuses, too); a chosen folder that is not empty and holds no earlier installation
; gets a "Harrowmere" folder of its own inside it. A silent setup given a refused directory, or
; one NSIS would not take as given, writes nothing and ends with exit code 2.

!ifndef TARGET
  !define TARGET amd64-unicode
!endif
Target ${TARGET}
Unicode true

!ifndef VERSION
  !define VERSION 1.0.0
!endif
!ifndef OUTFILE
  !define OUTFILE Harrowmere-setup.exe
!endif

!define PRODUCT "Harrowmere网页版"
!define PUBLISHER "Harrowmere"
; uninstall.exe is a 32-bit program and looks for its entry in the 32-bit registry view.
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

!include "FileFunc.nsh"
!include "LogicLib.nsh"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The client is a 64-bit program: its place is the native Program Files.
InstallDir "$PROGRAMFILES64\Harrowmere"
RequestExecutionLevel admin
; Roots are refused by CheckInstallDirectory below, which ends a silent setup with an error. NSIS's
; own refusal would instead fall back to InstallDir and report success.
AllowRootDirInstall true
SetCompressor /SOLID lzma
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"

DirText "Setup installs ${PRODUCT} into the folder below. A folder that is not empty and holds no \
earlier ${PRODUCT} gets a Harrowmere folder of its own inside it; drive roots and system or user \
folders cannot be chosen." "Installation folder"

Page directory "" "" DirectoryLeave
Page instfiles

; Why $INSTDIR cannot be ours; empty when it can.
Var Refusal
; $INSTDIR without trailing backslashes.
Var Chosen

; Refuses $Chosen when it is the folder or holds it.
!macro RefuseFolder FOLDER
  Push "${FOLDER}"
  Call RefuseIfHolds
!macroend

Function RefuseIfHolds
  Exch $R0
  Push $R1
  Push $R2
  ${If} $R0 != ""
  ${AndIf} $Refusal == ""
    ${If} $R0 == $Chosen
      StrCpy $Refusal "$Chosen is a system or user folder"
    ${Else}
      StrLen $R1 "$Chosen\"
      StrCpy $R2 $R0 $R1
      ${If} $R2 == "$Chosen\"
        StrCpy $Refusal "$Chosen holds the system or user folder $R0"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

!macro RefuseUserFolders
  !insertmacro RefuseFolder "$DESKTOP"
  !insertmacro RefuseFolder "$DOCUMENTS"
  !insertmacro RefuseFolder "$MUSIC"
  !insertmacro RefuseFolder "$PICTURES"
  !insertmacro RefuseFolder "$VIDEOS"
  !insertmacro RefuseFolder "$APPDATA"
  !insertmacro RefuseFolder "$LOCALAPPDATA"
  !insertmacro RefuseFolder "$SMPROGRAMS"
  !insertmacro RefuseFolder "$STARTMENU"
  !insertmacro RefuseFolder "$SMSTARTUP"
  !insertmacro RefuseFolder "$TEMPLATES"
  !insertmacro RefuseFolder "$FAVORITES"
  !insertmacro RefuseFolder "$SENDTO"
  !insertmacro RefuseFolder "$RECENT"
  !insertmacro RefuseFolder "$COOKIES"
  !insertmacro RefuseFolder "$HISTORY"
  !insertmacro RefuseFolder "$INTERNET_CACHE"
  !insertmacro RefuseFolder "$QUICKLAUNCH"
  !insertmacro RefuseFolder "$ADMINTOOLS"
!macroend

; Sets $Refusal for roots, system and user folders, what holds them and what lies in Windows.
Function CheckInstallDirectory
  StrCpy $Refusal ""
  StrCpy $Chosen $INSTDIR
  ${Do}
    StrCpy $0 $Chosen 1 -1
    ${If} $0 != "\"
      ${Break}
    ${EndIf}
    StrCpy $Chosen $Chosen -1
  ${Loop}
  ${GetRoot} "$INSTDIR" $0
  StrLen $1 $Chosen
  ${If} $Chosen == $0
  ${OrIf} $1 < 3
    StrCpy $Refusal "$INSTDIR is a drive or share root"
    Return
  ${EndIf}
  StrLen $1 "$WINDIR\"
  StrCpy $0 $Chosen $1
  ${If} $0 == "$WINDIR\"
    StrCpy $Refusal "$Chosen lies inside Windows"
    Return
  ${EndIf}
  !insertmacro RefuseFolder "$WINDIR"
  !insertmacro RefuseFolder "$SYSDIR"
  !insertmacro RefuseFolder "$FONTS"
  !insertmacro RefuseFolder "$RESOURCES"
  !insertmacro RefuseFolder "$PROGRAMFILES"
  !insertmacro RefuseFolder "$PROGRAMFILES32"
  !insertmacro RefuseFolder "$PROGRAMFILES64"
  !insertmacro RefuseFolder "$COMMONFILES"
  !insertmacro RefuseFolder "$COMMONFILES32"
  !insertmacro RefuseFolder "$COMMONFILES64"
  !insertmacro RefuseFolder "$TEMP"
  !insertmacro RefuseFolder "$PROFILE"
  !insertmacro RefuseFolder "$PROFILE\Downloads"
  !insertmacro RefuseFolder "$PROFILE\Saved Games"
  !insertmacro RefuseFolder "$PROFILE\Links"
  !insertmacro RefuseFolder "$PROFILE\Contacts"
  ReadEnvStr $0 "PUBLIC"
  !insertmacro RefuseFolder "$0"
  ReadEnvStr $0 "ALLUSERSPROFILE"
  !insertmacro RefuseFolder "$0"
  SetShellVarContext all
  !insertmacro RefuseUserFolders
  SetShellVarContext current
  !insertmacro RefuseUserFolders
FunctionEnd

; The earlier installation this setup would update.
!macro IfHarrowmereIn DIR JUMP_IF_OURS
  ${If} ${FileExists} "${DIR}\Harrowmere.exe"
  ${AndIf} ${FileExists} "${DIR}\uninstall.exe"
    Goto ${JUMP_IF_OURS}
  ${EndIf}
!macroend

; Checks $INSTDIR and, when it holds things of others, moves it into a Harrowmere folder inside.
Function PrepareInstallDirectory
  Call CheckInstallDirectory
  ${If} $Refusal != ""
    Return
  ${EndIf}
  StrCpy $INSTDIR $Chosen
  !insertmacro IfHarrowmereIn "$INSTDIR" ours
  ${DirState} "$INSTDIR" $0
  ${If} $0 == 1  ; exists and is not empty
    StrCpy $INSTDIR "$INSTDIR\Harrowmere"
    !insertmacro IfHarrowmereIn "$INSTDIR" ours
    ${DirState} "$INSTDIR" $0
    ${If} $0 == 1
      StrCpy $Refusal "$INSTDIR holds files of another program"
    ${EndIf}
  ${EndIf}
  ours:
FunctionEnd

; The raw "/D=" of our own command line into $R9 ("" when there is none). NSIS hides it from
; $CMDLINE, and takes it only when it likes the path: otherwise it quietly falls back to InstallDir.
Function RequestedDirectory
  System::Call 'kernel32::GetCommandLineW() t .R8'
  StrCpy $R9 ""
  StrLen $R7 $R8
  StrCpy $R6 0
  ${DoWhile} $R6 < $R7
    StrCpy $R5 $R8 4 $R6
    ${If} $R5 S== " /D="
      IntOp $R6 $R6 + 4
      StrCpy $R9 $R8 "" $R6
      ${Break}
    ${EndIf}
    IntOp $R6 $R6 + 1
  ${Loop}
FunctionEnd

Function .onInit
  ${If} ${Silent}
    Call RequestedDirectory
    ${If} $R9 != ""
      StrCpy $R8 $INSTDIR
      ${Do}
        StrCpy $0 $R9 1 -1
        ${IfThen} $0 != "\" ${|} ${ExitDo} ${|}
        StrCpy $R9 $R9 -1
      ${Loop}
      ${Do}
        StrCpy $0 $R8 1 -1
        ${IfThen} $0 != "\" ${|} ${ExitDo} ${|}
        StrCpy $R8 $R8 -1
      ${Loop}
      ${If} $R9 != $R8
        SetErrorLevel 2  ; a directory other than the one asked for
        Quit
      ${EndIf}
    ${EndIf}
    Call PrepareInstallDirectory
    ${If} $Refusal != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  Call CheckInstallDirectory
  ${If} $Refusal != ""
    Abort
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call PrepareInstallDirectory
  ${If} $Refusal != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "$Refusal."
    Abort
  ${EndIf}
FunctionEnd

Section "Harrowmere"
  SetShellVarContext current  ; the uninstaller removes the current user's desktop and Start menu
  SetOutPath "$INSTDIR"
  File "/oname=Harrowmere.exe" "${CLIENT_EXE}"
  File "/oname=uninstall.exe" "${UNINSTALL_EXE}"

  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\Harrowmere.exe" "" "$INSTDIR\Harrowmere.exe" 0
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Harrowmere.exe" "" "$INSTDIR\Harrowmere.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk" "$INSTDIR\uninstall.exe" "" "$INSTDIR\uninstall.exe" 0

  SetRegView 32
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Harrowmere.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  SetRegView lastused
SectionEnd
