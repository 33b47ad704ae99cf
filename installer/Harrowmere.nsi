; Harrowmere-setup.exe: installs the client and its uninstaller, the shortcuts and the
; Uninstall entry that uninstall.exe removes again. Built by CMake (installer/CMakeLists.txt):
;   makensis -DTARGET=amd64-unicode -DOUTFILE=... -DCLIENT_EXE=... -DUNINSTALL_EXE=... -DVERSION=...
; Runs silently with /S; /D=<directory> (last on the command line) chooses the directory.

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

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The client is a 64-bit program: its place is the native Program Files.
InstallDir "$PROGRAMFILES64\Harrowmere"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"

Page directory
Page instfiles

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
