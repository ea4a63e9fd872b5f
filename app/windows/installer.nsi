; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer of 筑衡, built by app/windows/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.1.0 -DVERSION_QUAD=0.1.0.0 -DSTAGE=folder \
;       -DICON=app/zhuheng.ico -DOUTFILE=zhuheng-0.1.0-win64-setup.exe installer.nsi
; STAGE holds what `cmake --install` wrote (bin/) and the licence texts (licenses/).
; Per machine, into Program Files\筑衡, with a Start-menu entry and an entry in the system's list
; of programs. /S installs and uninstalls without a word.
; A 64-bit installer for the 64-bit program (it runs on 64-bit Windows only, as the program does).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "筑衡"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zhuheng"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} 安装"
UninstallCaption "${PRODUCT} ${VERSION} 卸载"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\zhuheng.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/licenses/GPL-3.0-or-later.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

; Every file the installer puts: its folder under the installation ("" or "\translations"), the
; folder it is staged in, and its name. The uninstaller removes exactly these and nothing else.
!macro INSTALLED_FILES DO
    !insertmacro ${DO} "" "bin" "zhuheng.exe"
    !insertmacro ${DO} "" "bin" "wqy-microhei.ttc"
    !insertmacro ${DO} "\translations" "bin/translations" "qtbase_zh_CN.qm"
    !insertmacro ${DO} "\licenses" "licenses" "GPL-3.0-or-later.txt"
    !insertmacro ${DO} "\licenses" "licenses" "Qt-LGPL-3.0.txt"
    !insertmacro ${DO} "\licenses" "licenses" "Qt-notices.txt"
    !insertmacro ${DO} "\licenses" "licenses" "WenQuanYi-Micro-Hei.txt"
    !insertmacro ${DO} "\licenses" "licenses" "Apache-2.0.txt"
!macroend
!macro PUT FOLDER STAGED NAME
    SetOutPath "$INSTDIR${FOLDER}"
    File "${STAGE}/${STAGED}/${NAME}"
!macroend
!macro REMOVE FOLDER STAGED NAME
    Delete "$INSTDIR${FOLDER}\${NAME}"
!macroend

Section "${PRODUCT}"
    !insertmacro INSTALLED_FILES PUT
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zhuheng.exe" "" "$INSTDIR\zhuheng.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zhuheng.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT} developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put; a folder goes only when it is left empty, so that nothing the
; user put there is lost.
Section "Uninstall"
    !insertmacro INSTALLED_FILES REMOVE
    RMDir "$INSTDIR\translations"
    RMDir "$INSTDIR\licenses"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
