# Setup program for Summenleiter on Windows: a per-user install that needs no administrator
# rights, with a Start-menu entry and an entry under installed programs.
#
# Built on the Linux cross-compiling host from a staged folder holding Summenleiter.exe, its
# DLLs, platforms\qwindows.dll and the licence texts:
#
#   makensis -V2 -DSTAGE=/path/to/stage -DVERSION=0.1 -DOUTFILE=/path/to/Summenleiter-0.1-setup.exe \
#            -DICON=/path/to/summenleiter.ico packaging/windows/installer.nsi
#
# Optional: -DLICENSE=<file> shows that file on a licence page (default: LICENSE.txt of the stage,
# if there is one); -DVI_VERSION=a.b.c.d when VERSION does not have exactly two parts.
#
# Silent use: "setup.exe /S" installs, "Uninstall.exe /S" uninstalls. The uninstaller copies itself
# to %TEMP% and the started process returns at once, so a caller that must wait either polls until
# the uninstall key and the install folder are gone, or runs it in place with
# "Uninstall.exe /S _?=<install dir>" and then deletes Uninstall.exe and the emptied folder itself.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef STAGE | VERSION | OUTFILE | ICON
  !error "makensis needs -DSTAGE=<dir> -DVERSION=<x.y> -DOUTFILE=<setup.exe> -DICON=<file.ico>"
!endif
!ifdef NSIS_WIN32_MAKENSIS
  # The uninstall list below is made with find and awk.
  !error "Build the setup program on the POSIX cross-compiling host"
!endif

!define APPNAME "Summenleiter"
!define PUBLISHER "The Summenleiter developers"
!define EXENAME "Summenleiter.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPNAME}"
!ifndef VI_VERSION
  !define VI_VERSION "${VERSION}.0.0"
!endif
!ifndef LICENSE
  !if /FileExists "${STAGE}/LICENSE.txt"
    !define LICENSE "${STAGE}/LICENSE.txt"
  !endif
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APPNAME}"
# A reinstall or update goes where the previous one went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VI_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${APPNAME} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXENAME}"

!insertmacro MUI_PAGE_WELCOME
!ifdef LICENSE
  !insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!endif
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

# The uninstaller deletes exactly the staged files and folders, listed here when the setup program
# is built, instead of "RMDir /r $INSTDIR": the directory page accepts any folder, and a user who
# picks an existing one (or later keeps own files beside the program) must not lose its contents.
# Folders go deepest first, and RMDir without /r leaves any folder that still holds foreign files.
# makensis on POSIX turns every backslash of a !system command into a slash, so awk makes the
# backslashes (92) and quotes (34) from their codes; dollar signs in names are doubled so that
# NSIS takes them literally.
!define UNINST_LINE `'{ sub(/^[.][/]/, ""); gsub("/", sprintf("%c", 92)); gsub(/[$]/, "$$"); printf "  %s %c$INSTDIR%c%s%c%c", cmd, 34, 92, $0, 34, 10 }'`
!tempfile UNINST_LIST
!system `cd "${STAGE}" && { find . -mindepth 1 -type f | LC_ALL=C sort | awk -v cmd=Delete ${UNINST_LINE}; find . -mindepth 1 -type d | LC_ALL=C sort -r | awk -v cmd=RMDir ${UNINST_LINE}; } > "${UNINST_LIST}"` = 0

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

# Uninstall.exe runs from a copy in %TEMP%\~nsuN.tmp so that it can delete $INSTDIR, and NSIS only
# marks that copy for deletion at the next reboot, which a standard user is not allowed to do. A
# hidden cmd removes the folder as soon as this process has ended and no longer locks it. The
# name checks keep that recursive delete away from anything but NSIS's own temporary folder.
Function un.onUninstSuccess
  ${GetParent} "$EXEDIR" $0
  ${GetFileName} "$EXEDIR" $1
  StrCpy $2 $1 4
  ${If} $0 == $TEMP
  ${AndIf} $2 == "~nsu"
  ${AndIf} $EXEDIR != $INSTDIR
    SetOutPath "$TEMP"
    ExecShell "" "$SYSDIR\cmd.exe" `/d /q /c for /l %i in (1,1,60) do @(ping -n 2 127.0.0.1 >nul & rmdir /s /q "$EXEDIR" 2>nul & if not exist "$EXEDIR\" exit)` SW_HIDE
  ${EndIf}
FunctionEnd

Section "${APPNAME}" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\${EXENAME}" "" "$INSTDIR\${EXENAME}" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXENAME},0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  # The section's size is what makensis packed, in KiB; measuring $INSTDIR instead would count
  # whatever else the chosen folder already held.
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  !include "${UNINST_LIST}"
  !delfile "${UNINST_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
  # The per-user programs folder and uninstall key are made by whichever setup program needs them
  # first; left empty they belong to no one, and Windows makes them again when needed.
  RMDir "$LOCALAPPDATA\Programs"
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd
