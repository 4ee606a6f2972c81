; The Windows installer: a per-user install that needs no administrator
; rights, a Start-menu entry, an optional start at logon, and an uninstaller
; that leaves the user's settings folder (%APPDATA%\Quillop) alone, so that a
; later install finds the slots as they were.
;
; Built by the `installer` target of the Windows build:
;   makensis -DVERSION=3.5.0 -DEXE=quillop.exe -DREADME=readme.txt
;            -DOUTFILE=quillop-3.5.0-setup.exe quillop.nsi
; Silent use: setup.exe /S [/LOGON] [/D=folder]   uninstall.exe /S
;   /LOGON also selects the start at logon in a silent install.

; 64-bit like the program it carries (and so it runs where only 64-bit Windows
; programs can, such as a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef EXE
  !error "EXE is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "quillop-${VERSION}-setup.exe"
!endif

!define APPNAME "Quillop"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillop"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
; Per user: a folder the user owns, never Program Files.
InstallDir "$LOCALAPPDATA\Programs\Quillop"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=0 "FileDescription" "${APPNAME} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Quillop developers"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\quillop.exe"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString SecProgram ${LANG_JAPANESE} "Quillop 本体とスタートメニュー"
LangString SecProgram ${LANG_ENGLISH} "Quillop and its Start-menu entry"
LangString SecLogon ${LANG_JAPANESE} "ログオン時に起動する"
LangString SecLogon ${LANG_ENGLISH} "Start at logon"

Section "!$(SecProgram)" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=quillop.exe" "${EXE}"
!ifdef README
  File "/oname=readme.txt" "${README}"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Quillop.lnk" "$INSTDIR\quillop.exe" "" "$INSTDIR\quillop.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quillop developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillop.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SecLogon)" SecLogon
  WriteRegStr HKCU "${RUN_KEY}" "${APPNAME}" '"$INSTDIR\quillop.exe"'
SectionEnd

Function .onInit
  SetShellVarContext current
  ; A silent install has no components page: /LOGON stands for its check box.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LOGON" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecLogon}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; The settings folder %APPDATA%\Quillop (QLPconf.ini, the Licn pictures) is
; the user's data and stays.
Section "Uninstall"
  Delete "$SMPROGRAMS\Quillop.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${APPNAME}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\quillop.exe"
  Delete "$INSTDIR\readme.txt"
  ; This runs in a copy of the uninstaller in the temporary folder, which
  ; uninstall.exe starts and then ends; the file cannot go while that process
  ; still holds it, so it is removed once it is let go (ten seconds at most).
  StrCpy $0 0
  ${Do}
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
    ${OrIf} $0 >= 100
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $0 $0 + 1
  ${Loop}
  ; Last, so that a caller waiting on a silent uninstall can wait for the folder to go.
  RMDir "$INSTDIR"
SectionEnd
