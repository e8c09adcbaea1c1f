// The Windows headers for the backend, without the macros that would rename framework or platform names.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#undef MessageBox
#undef TextOut
#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef GetFileAttributes
#undef GetPrivateProfileString
#undef GetTempFileName
#undef GetTempPath
#undef MoveFile
#undef RemoveDirectory
#undef ReplaceFile
#undef SetCurrentDirectory
#undef SetFileAttributes
#undef ShellExecute
#undef WritePrivateProfileString
