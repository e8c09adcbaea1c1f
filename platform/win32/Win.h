// The Windows headers for the Win32 implementation, with the A/W name macros that clash with ours removed.
#pragma once

// Our interface first: the shell header defines the FOF_* names as macros.
#include "platform/Platform.h"

#include <windows.h>
// The shell header needs the base types above.
#include <shellapi.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef GetFileAttributes
#undef GetPrivateProfileString
#undef GetTempFileName
#undef GetTempPath
#undef MoveFile
#undef OemToAnsi
#undef AnsiToOem
#undef RemoveDirectory
#undef ReplaceFile
#undef SetCurrentDirectory
#undef SetFileAttributes
#undef ShellExecute
#undef WritePrivateProfileString

namespace platform::win32 {

inline TFileTime FromFiletime(const FILETIME& ft) {
    return TFileTime{static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime};
}

inline FILETIME ToFiletime(const TFileTime& ft) {
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(ft.Value);
    out.dwHighDateTime = static_cast<DWORD>(ft.Value >> 32);
    return out;
}

inline HANDLE ToHandle(THandle h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace platform::win32
