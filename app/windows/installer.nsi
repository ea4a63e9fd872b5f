; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer of 筑衡, made by pack_installer.cmake (app/windows/CMakeLists.txt runs it):
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.1.0 -DVERSION_QUAD=0.1.0.0 -DFILES=folder \
;       -DINSTALLED_LIST=list.nsh -DICON=app/zhuheng.ico -DOUTFILE=zhuheng-0.1.0-win64-setup.exe \
;       installer.nsi
; FILES is laid out as the installation is: the program, the face, translations\ and licenses\.
; INSTALLED_LIST names every file of it (and, for a signed build, signs the uninstaller and the
; installer).
; Per machine, into Program Files\筑衡, with a Start-menu entry and an entry in the system's list
; of programs. /S installs and uninstalls without a word. Over an earlier installation it first
; runs that one's uninstaller, so that no file of the earlier version stays. Neither installs nor
; uninstalls while 筑衡 runs: it asks to close the program (retry or cancel); cancelled, and
; under /S, it ends with exit code 2 and has changed nothing.
; A 64-bit installer for the 64-bit program (it runs on 64-bit Windows only, as the program does).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${INSTALLED_LIST}"

!define PRODUCT "筑衡"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zhuheng"
; Held by the program while it runs, in every session (app/main.cpp).
!define RUNNING_MUTEX "Global\Zhuheng.Running"
; The exit code when 筑衡 runs and the user cancels, or under /S.
!define EXIT_PROGRAM_RUNNING 2
; The exit code when the earlier installation's uninstaller fails.
!define EXIT_EARLIER_NOT_REMOVED 3

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} 安装"
UninstallCaption "${PRODUCT} ${VERSION} 卸载"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
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
!insertmacro MUI_PAGE_LICENSE "${FILES}/licenses/GPL-3.0-or-later.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; While 筑衡 runs, its files cannot be replaced or removed: asks to close it. Retry looks again;
; Cancel, the answer under /S, ends at once with nothing changed.
!macro REFUSE_WHILE_RUNNING PREFIX MESSAGE
Function ${PREFIX}refuse_while_running
    ${Do}
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
        ${If} $0 == 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${MESSAGE}" /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${EXIT_PROGRAM_RUNNING}
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING "" \
    "筑衡正在运行，请先关闭它。$\r$\n$\r$\n关闭筑衡后点“重试”继续安装；点“取消”退出安装，不做任何改动。"
!insertmacro REFUSE_WHILE_RUNNING "un." \
    "筑衡正在运行，请先关闭它。$\r$\n$\r$\n关闭筑衡后点“重试”继续卸载；点“取消”退出卸载，不做任何改动。"

Function .onInit
    SetShellVarContext all
    SetRegView 64
    Call refuse_while_running
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
    Call un.refuse_while_running
FunctionEnd

; The list (INSTALLED_LIST) names each file by the folder it goes to ("" or e.g. "\translations")
; and its name; the uninstaller removes exactly these and nothing else.
!macro PUT FOLDER NAME
    SetOutPath "$INSTDIR${FOLDER}"
    File "${FILES}${FOLDER}\${NAME}"
!macroend
!macro REMOVE FOLDER NAME
    Delete "$INSTDIR${FOLDER}\${NAME}"
!macroend
!macro REMOVE_FOLDER FOLDER
    RMDir "$INSTDIR${FOLDER}"
!macroend

; An earlier installation is removed by its own uninstaller, which knows its files: run in place
; (_?=) so that the installer waits for it. It leaves itself, which goes here.
Function remove_earlier
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == ""
    ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
        Return
    ${EndIf}
    DetailPrint "卸载已安装的版本：$R0"
    ClearErrors
    ExecWait '"$R0\uninstall.exe" /S _?=$R0' $R1
    ${If} ${Errors}
    ${OrIf} $R1 != 0
        MessageBox MB_OK|MB_ICONSTOP "无法卸载已安装的筑衡（$R0）。请先在系统的“应用”中卸载它，再运行本安装程序。" /SD IDOK
        SetErrorLevel ${EXIT_EARLIER_NOT_REMOVED}
        Quit
    ${EndIf}
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
FunctionEnd

Section "${PRODUCT}"
    ; 筑衡 may have been started while the pages showed.
    Call refuse_while_running
    Call remove_earlier
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
    Call un.refuse_while_running
    !insertmacro INSTALLED_FILES REMOVE
    !insertmacro INSTALLED_FOLDERS REMOVE_FOLDER
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
