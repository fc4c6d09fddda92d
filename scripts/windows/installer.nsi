; The Windows installer of ぺるもあ. scripts/windows/build passes VERSION, FILES (the File
; lines of every staged file), UNINSTALL_FILES (their Delete and RMDir lines), ICON and
; OUTFILE. Installs for the current user by default, asking for nothing; for every user with
; /AllUsers, asking for elevation then. /D=folder picks the folder, /S installs silently.
; A new version goes over an earlier one wherever that is (for every user, for this user, in
; a folder of the user's choice), in its mode: one copy, one Start-menu entry, one entry in
; Apps.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
; The program itself starts without elevation (no UAC prompt for an administrator either);
; an install for every user starts itself again elevated.
RequestExecutionLevel user

!define APP "ぺるもあ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmoa"

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

Name "${APP}"
OutFile "${OUTFILE}"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

Var AllUsers      ; 1 for an install for every user
Var Upgrade       ; 1 when an earlier version is installed: its folder and mode stay
Var Parameters

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderPageOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Runs this program again elevated, with the same arguments, and waits for it. An account
; that still has no administrator rights after that is told so.
!macro RunElevated PREFIX
  ${${PREFIX}GetOptions} $Parameters "/Elevated" $0
  ${IfNot} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "すべてのユーザー向けのインストールとアンインストールには管理者の権限が必要です" /SD IDOK
    SetErrorLevel 5
    Quit
  ${EndIf}
  ExecShellWait "runas" "$EXEPATH" "/Elevated $Parameters"
  Quit
!macroend

Function SkipFolderPageOnUpgrade
  ${If} $Upgrade == 1
    Abort
  ${EndIf}
FunctionEnd

Function .onInit
  ${GetParameters} $Parameters
  StrCpy $Upgrade 0
  StrCpy $AllUsers 0
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
    StrCpy $AllUsers 1
    StrCpy $Upgrade 1
    StrCpy $INSTDIR $R0
  ${ElseIf} $R1 != ""
    StrCpy $Upgrade 1
    StrCpy $INSTDIR $R1
  ${Else}
    ClearErrors
    ${GetOptions} $Parameters "/AllUsers" $0
    ${IfNot} ${Errors}
      StrCpy $AllUsers 1
    ${EndIf}
    ; /D= has set the folder already.
    ${If} $INSTDIR == ""
      ${If} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\Pelmoa"
      ${Else}
        GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; the user's Programs
        ${If} $INSTDIR == ""
          StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $INSTDIR "$INSTDIR\Pelmoa"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      ClearErrors
      !insertmacro RunElevated ""
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "ぺるもあ"
  ; The earlier version goes first, by its own uninstaller in its own mode, so that no file
  ; of it stays behind; the user's images and settings stay as they are.
  ${If} $Upgrade == 1
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "QuietUninstallString"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
      ExecWait '$0 _?=$INSTDIR'
    ${EndIf}
  ${EndIf}
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\pelmoa.exe" "" "$INSTDIR\pelmoa.ico"
  ${If} $AllUsers == 1
    StrCpy $0 "/AllUsers"
  ${Else}
    StrCpy $0 "/CurrentUser"
  ${EndIf}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmoa.ico"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $0 /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The mode is the one this copy was installed in: for every user when the machine's entry
; names its folder.
Function un.onInit
  ${un.GetParameters} $Parameters
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 == $INSTDIR
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      ClearErrors
      !insertmacro RunElevated "un."
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

; Only what was installed goes: the folder stays when it holds anything else, such as the
; images of DLImages, and the settings in the registry are the user's.
Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
