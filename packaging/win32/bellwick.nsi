; Bellwick's Windows installer. Built by packaging/win32/CMakeLists.txt:
;   makensis -DVERSION=<version> -DVERSION_NUMBERS=<four numbers> \
;            -DDISPLAY_VERSION=<major.two-digit minor> -DPUBLISHER=... \
;            -DEXE=.../Bellwick.exe -DICON=.../bellwick.ico -DOUTFILE=... bellwick.nsi
; Per machine by default when the user may (an administrator), else per
; user; /AllUsers and /CurrentUser choose, /S installs without asking. The
; uninstaller removes what was installed and leaves the user's sound setting
; (HKCU\Software\KV Bellwick) alone.

!ifndef VERSION | VERSION_NUMBERS | DISPLAY_VERSION | PUBLISHER | EXE | ICON | OUTFILE
  !error "VERSION, VERSION_NUMBERS, DISPLAY_VERSION, PUBLISHER, EXE, ICON and OUTFILE must be defined"
!endif

Unicode true
SetCompressor /SOLID lzma
ManifestSupportedOS all
ManifestDPIAware true

!define APP "Bellwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define UNINSTALLER "Uninstall.exe"

Name "${APP}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${DISPLAY_VERSION}"

; Install mode: the uninstall key's hive tells a later run which mode was used.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP}.exe"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The program's own version block, with the installer's name and file.
VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${DISPLAY_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${DISPLAY_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "InternalName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "${APP}-${VERSION}-setup.exe"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "/oname=${APP}.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; SHCTX and $SMPROGRAMS follow the install mode: HKLM and the common
  ; Start menu per machine, HKCU and the user's own per user.
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${APP}.exe" "" "$INSTDIR\${APP}.exe" 0

  ; Apps & features. The uninstall strings name the mode, so the
  ; uninstaller cleans the same hive and Start menu.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${DISPLAY_VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP}.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; A running Bellwick.exe cannot be deleted: it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\${APP}.exe"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
