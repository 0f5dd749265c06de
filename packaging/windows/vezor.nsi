; The Windows installer: makensis -DDIST=<build>\dist -DOUTFILE=<file> -DVERSION=<x.y> vezor.nsi
; (scripts/build-windows.sh --installer runs it). Installs the programs into
; <folder>\bin and the fonts with their licences into <folder>\share\vezor\font, so
; that the programs keep the user's projects and fonts in Documents\VEzor; a Start-menu
; entry with the icon; an uninstaller listed under Programs and Features.
; A 64-bit installer: it runs where only 64-bit Windows programs do (Wine without wine32 too).
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VEzor"

Name "VEzor"
Caption "VEzor ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VEzor"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
Icon "vezor.ico"
UninstallIcon "vezor.ico"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Russian.nlf"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "VEzor"
  SetShellVarContext all
  SetOutPath "$INSTDIR\bin"
  File /r /x font "${DIST}\*"
  SetOutPath "$INSTDIR\share\vezor\font"
  File /r "${DIST}\font\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\VEzor.lnk" "$INSTDIR\bin\vezor.exe" "" "$INSTDIR\bin\vezor.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "VEzor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The VEzor developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\vezor.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's own folder (Documents\VEzor) and settings stay: they hold the user's work.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\VEzor.lnk"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share\vezor"
  RMDir "$INSTDIR\share"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
