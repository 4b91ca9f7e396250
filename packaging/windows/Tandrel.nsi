; The Windows installer: the VST3 bundle into Common Files\VST3, where every VST3
; host looks, the standalone app and the render tool into the program folder,
; Start-menu entries for the app and the user guide, and an uninstaller in the
; list of installed programs.
; Built by the build's tandrel_windows_package target (scripts/package --windows), which passes
;   TANDREL_GENERATED  the folder holding product.nsh (name, version, publisher)
;                      and files.nsh (the file lists assemble.cmake wrote)
;   TANDREL_TREE       the package tree those lists name
;   TANDREL_SETUP      the installer to write
; Silent install: setup.exe /S, with /D=FOLDER for another program folder (last
; on the command line, unquoted); silent removal: Uninstall.exe /S.

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "${TANDREL_GENERATED}/product.nsh"
!include "${TANDREL_GENERATED}/files.nsh"
!include MUI2.nsh
!include LogicLib.nsh

!define TANDREL_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${TANDREL_PUBLISHER} ${TANDREL_APP_NAME}"
!define TANDREL_VST3_FOLDER "$COMMONFILES64\VST3"
!define TANDREL_PUBLISHER_FOLDER "$PROGRAMFILES64\${TANDREL_PUBLISHER}"
!define TANDREL_SHORTCUT "$SMPROGRAMS\${TANDREL_APP_NAME}.lnk"
!define TANDREL_GUIDE_SHORTCUT "$SMPROGRAMS\${TANDREL_APP_NAME} User Guide.lnk"
!define TANDREL_UNINSTALLER "Uninstall.exe"

Name "${TANDREL_APP_NAME} ${TANDREL_VERSION}"
OutFile "${TANDREL_SETUP}"
; Not "<publisher>\<product name>": under Program Files that is a folder the
; plug-in would take for its user data folder.
InstallDir "${TANDREL_PUBLISHER_FOLDER}\${TANDREL_APP_NAME}"
; A reinstall offers the folder of the installation it replaces.
InstallDirRegKey HKLM "${TANDREL_UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${TANDREL_PUBLISHER} ${TANDREL_APP_NAME} ${TANDREL_VERSION}"

VIProductVersion "${TANDREL_VERSION}.0"
VIFileVersion "${TANDREL_VERSION}.0"
VIAddVersionKey "ProductName" "${TANDREL_APP_NAME}"
VIAddVersionKey "CompanyName" "${TANDREL_PUBLISHER}"
VIAddVersionKey "ProductVersion" "${TANDREL_VERSION}"
VIAddVersionKey "FileVersion" "${TANDREL_VERSION}"
VIAddVersionKey "FileDescription" "${TANDREL_APP_NAME} ${TANDREL_VERSION} setup"
VIAddVersionKey "LegalCopyright" "${TANDREL_PUBLISHER}, GNU GPL version 3 or later"

!define MUI_ICON "${TANDREL_TREE}/${TANDREL_APP_NAME}.ico"
!define MUI_UNICON "${TANDREL_TREE}/${TANDREL_APP_NAME}.ico"
!define MUI_ABORTWARNING

; The GPL grants rights and asks nothing of someone who only runs the program:
; the page informs, it does not ask for agreement.
!define MUI_PAGE_HEADER_TEXT "Licence"
!define MUI_PAGE_HEADER_SUBTEXT "The terms under which ${TANDREL_APP_NAME} ${TANDREL_VERSION} is free software."
!define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to read the rest of the licence."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "${TANDREL_APP_NAME} is free software: you may use it for any purpose. The licence sets the terms for passing it on and changing it."
!insertmacro MUI_PAGE_LICENSE "${TANDREL_TREE}/LICENSE.txt"
!define MUI_DIRECTORYPAGE_TEXT_TOP "The VST3 plug-in goes into ${TANDREL_VST3_FOLDER}, where every VST3 host looks for it. Choose the folder for the standalone app and the render tool."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${TANDREL_APP_NAME} ${TANDREL_VERSION} will be removed from your computer. Your presets and settings in %APPDATA%\${TANDREL_PUBLISHER}\${TANDREL_PRODUCT_NAME} are kept."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; An installation already there (this version, an older or a newer one, in this
; folder or another) is removed by its own uninstaller first, which knows its
; files: nothing of it stays beside the new one.
Function RemovePreviousInstallation
  ReadRegStr $0 HKLM "${TANDREL_UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\${TANDREL_UNINSTALLER}"
    Return
  ${EndIf}
  DetailPrint "Removing the installation in $0"
  ; _?= runs it in place and waits for it, instead of from a copy in TEMP.
  ExecWait '"$0\${TANDREL_UNINSTALLER}" /S _?=$0' $1
  ${If} $1 != 0
    Abort "The installation in $0 could not be removed (code $1)."
  ${EndIf}
  Delete "$0\${TANDREL_UNINSTALLER}"
  RMDir "$0"
  RMDir "${TANDREL_PUBLISHER_FOLDER}"
FunctionEnd

Section "-${TANDREL_APP_NAME}"
  SetShellVarContext all
  Call RemovePreviousInstallation

  !insertmacro TANDREL_INSTALL_FILES
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${TANDREL_UNINSTALLER}"
  CreateShortCut "${TANDREL_SHORTCUT}" "$INSTDIR\${TANDREL_APP_NAME}.exe" "" "$INSTDIR\${TANDREL_APP_NAME}.ico" 0 \
    SW_SHOWNORMAL "" "${TANDREL_APP_NAME} ${TANDREL_VERSION}, the standalone app"
  CreateShortCut "${TANDREL_GUIDE_SHORTCUT}" "$INSTDIR\guide.html" "" "" 0 \
    SW_SHOWNORMAL "" "What each control of ${TANDREL_APP_NAME} does, with pictures"

  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "DisplayName" "${TANDREL_APP_NAME}"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "DisplayVersion" "${TANDREL_VERSION}"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "Publisher" "${TANDREL_PUBLISHER}"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "URLInfoAbout" "${TANDREL_HOMEPAGE}"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${TANDREL_APP_NAME}.ico"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${TANDREL_UNINSTALLER}"'
  WriteRegStr HKLM "${TANDREL_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${TANDREL_UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${TANDREL_UNINSTALL_KEY}" "EstimatedSize" ${TANDREL_INSTALLED_SIZE_KB}
  WriteRegDWORD HKLM "${TANDREL_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${TANDREL_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes the files listed at build time one by one and then the folders they
; made, if empty: whatever else lies in them stays, and so does the user data folder.
Section "Uninstall"
  SetShellVarContext all
  !insertmacro TANDREL_UNINSTALL_FILES
  Delete "${TANDREL_SHORTCUT}"
  Delete "${TANDREL_GUIDE_SHORTCUT}"
  Delete "$INSTDIR\${TANDREL_UNINSTALLER}"
  RMDir "$INSTDIR"
  RMDir "${TANDREL_PUBLISHER_FOLDER}"
  DeleteRegKey HKLM "${TANDREL_UNINSTALL_KEY}"
SectionEnd
