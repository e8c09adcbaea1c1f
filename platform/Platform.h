// The operating-system services the program relies on, with Windows semantics, behind one interface.
//
// Two implementations: platform/win32 (the real Win32 API) and platform/posix (our own layer that
// behaves as Wine does on Linux). Every function that can fail returns a failure value and leaves the
// Windows error code in LastError(); none of them throws.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

namespace platform {

#ifdef _WIN32
constexpr char PathDelim = '\\';
#else
constexpr char PathDelim = '/';
#endif

// ---- Error codes (Windows numbering; the POSIX layer maps errno onto these) ----
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorNotReady = 21;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorNoMoreFiles = 18;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorHandleEof = 38;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorNegativeSeek = 131;
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorDirectory = 267;  // a folder name was expected

uint32_t LastError();
void SetLastError(uint32_t code);
// The platform's own text for an error code (FormatMessage on Windows), without a trailing line break.
std::string SysErrorMessage(uint32_t code);

// ---- File attributes (Windows bits) ----
constexpr uint32_t faReadOnly = 0x01;
constexpr uint32_t faHidden = 0x02;
constexpr uint32_t faSysFile = 0x04;
constexpr uint32_t faVolumeID = 0x08;
constexpr uint32_t faDirectory = 0x10;
constexpr uint32_t faArchive = 0x20;
constexpr uint32_t faNormal = 0x80;
constexpr uint32_t faTemporary = 0x100;
constexpr uint32_t faCompressed = 0x800;
constexpr uint32_t faNotContentIndexed = 0x2000;
constexpr uint32_t faEncrypted = 0x4000;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

uint32_t GetFileAttributes(const std::string& path);  // kInvalidAttributes when missing
bool SetFileAttributes(const std::string& path, uint32_t attr);
bool FileExists(const std::string& path);       // exists and is not a directory
bool DirectoryExists(const std::string& path);  // exists and is a directory

// ---- Times ----
// FILETIME: 100-nanosecond intervals since 1601-01-01 (UTC unless a function says local).
struct TFileTime {
    uint64_t Value = 0;
    friend bool operator==(const TFileTime&, const TFileTime&) = default;
};

// SYSTEMTIME: eight unsigned 16-bit fields in this order.
struct TSystemTime {
    uint16_t Year = 0, Month = 0, DayOfWeek = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Milliseconds = 0;
    friend bool operator==(const TSystemTime&, const TSystemTime&) = default;
};

bool FileTimeToLocalFileTime(const TFileTime& utc, TFileTime& local);
bool LocalFileTimeToFileTime(const TFileTime& local, TFileTime& utc);
bool FileTimeToSystemTime(const TFileTime& ft, TSystemTime& st);
bool SystemTimeToFileTime(const TSystemTime& st, TFileTime& ft);
// MS-DOS date and time (2-second resolution, years 1980..2107); no time-zone change.
bool FileTimeToDosDateTime(const TFileTime& ft, uint16_t& dosDate, uint16_t& dosTime);
bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, TFileTime& ft);
TFileTime CurrentFileTime();  // now, UTC
void GetLocalTime(TSystemTime& st);

// ---- Find first / next ----
struct TFindData {
    uint32_t Attr = 0;
    TFileTime CreationTime, LastAccessTime, LastWriteTime;
    uint64_t Size = 0;
    std::string Name;  // the name alone, no folder
};

// One listing of a folder, as FindFirstFile/FindNextFile/FindClose give it. Move-only.
// The pattern is a folder path plus a wildcard name ("dir\*.*", "dir\*"); "." and ".." are listed
// for every folder but a drive root, as Windows lists them.
class TFindHandle {
public:
    TFindHandle();  // defined where TImpl is complete, so the owning pointer can be destroyed
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;
    TFindHandle(TFindHandle&& other) noexcept;
    TFindHandle& operator=(TFindHandle&& other) noexcept;
    ~TFindHandle();

    bool First(const std::string& pattern, TFindData& data);  // false: LastError() tells why (2, 3, 18)
    bool Next(TFindData& data);                               // false at the end (LastError() 18) or on error
    void Close();
    bool IsOpen() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;  // freed by Close()
};

// ---- Folders ----
bool CreateDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
bool SetCurrentDirectory(const std::string& path);
std::string GetCurrentDirectory();
std::string ExpandFileName(const std::string& path);  // absolute path against the current folder
std::string ExeName();                                // full path of the running executable

// ---- Files by name ----
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);
bool DeleteFile(const std::string& path);
bool MoveFile(const std::string& from, const std::string& to);     // fails when `to` exists
bool ReplaceFile(const std::string& from, const std::string& to);  // moves, replacing an existing `to` in one step
// True when both files lie on one volume, where a move is a rename: the same drive letter on Windows,
// the same file system (that of each path's folder) on POSIX.
bool SameVolume(const std::string& a, const std::string& b);
std::string GetTempPath();  // ends with the delimiter
// Creates an empty file "<prefix><hex>.tmp" in `folder` and returns its path; empty on failure.
std::string GetTempFileName(const std::string& folder, const std::string& prefix);
bool SetFileTimes(const std::string& path, const TFileTime* creation, const TFileTime* access, const TFileTime* write);

// ---- Private folders and durable replacement ----
// Makes a new folder "<prefix><unique>" in `parent` that did not exist before (owner-only access on POSIX)
// and returns its path without a trailing delimiter; empty on failure (LastError() tells why).
std::string CreateUniqueDirectory(const std::string& parent, const std::string& prefix);
// The absolute path with symbolic links resolved, so a change lands on a link's target and the link stays;
// the path made absolute when it cannot be resolved (a missing file, for one).
std::string ResolvePath(const std::string& path);
// Puts `from` in the place of `to` (on one volume) in one step that is on the disk when this returns, so a
// crash leaves the old file or the new one. Replaces an existing `to`.
bool ReplaceFileDurably(const std::string& from, const std::string& to);
// The same step where `to` must not exist: fails then with kErrorAlreadyExists.
bool MoveFileDurably(const std::string& from, const std::string& to);
// The user's folder for settings, without a trailing delimiter: $XDG_CONFIG_HOME (default ~/.config) on
// POSIX, %APPDATA% on Windows; empty when there is none.
std::string UserConfigFolder();

// ---- File handles (the run-time library's FileOpen/FileCreate family) ----
using THandle = intptr_t;
constexpr THandle kInvalidHandle = -1;

// Access in the low bits, sharing in the next ones, as the run-time library numbers them.
constexpr uint32_t fmOpenRead = 0x0000;
constexpr uint32_t fmOpenWrite = 0x0001;
constexpr uint32_t fmOpenReadWrite = 0x0002;
constexpr uint32_t fmShareCompat = 0x0000;
constexpr uint32_t fmShareExclusive = 0x0010;
constexpr uint32_t fmShareDenyWrite = 0x0020;
constexpr uint32_t fmShareDenyRead = 0x0030;
constexpr uint32_t fmShareDenyNone = 0x0040;
constexpr uint32_t fmCreate = 0xFFFF;     // create or truncate, read and write
constexpr uint32_t fmCreateNew = 0xFFFE;  // create where no file of the name exists, read and write

THandle FileOpen(const std::string& path, uint32_t mode);          // opens an existing file
THandle FileCreate(const std::string& path);                       // creates or truncates
THandle FileCreateNew(const std::string& path);                    // creates; fails where a file exists
int32_t FileRead(THandle h, void* buffer, uint32_t count);         // bytes read, -1 on error
int32_t FileWrite(THandle h, const void* buffer, uint32_t count);  // bytes written, -1 on error
constexpr int kSeekBegin = 0, kSeekCurrent = 1, kSeekEnd = 2;
int64_t FileSeek(THandle h, int64_t offset, int origin);  // new position, -1 on error
bool FileTruncate(THandle h);                             // end of file at the current position
int64_t FileSize(THandle h);                              // -1 on error
bool FileClose(THandle h);
bool FileFlush(THandle h);  // the file's data written through to the disk
// Gives the open file the permission bits of `model`, and its owner and group where this process may set
// them (POSIX; not being allowed to is no failure). Windows files take their folder's rights and keep the model's
// hidden, system, archive and not-indexed attributes; a missing model is a failure.
bool CopyPermissions(const std::string& model, THandle h);
bool GetFileTimes(THandle h, TFileTime* creation, TFileTime* access, TFileTime* write);
bool SetFileTimes(THandle h, const TFileTime* creation, const TFileTime* access, const TFileTime* write);

// ---- Drives ----
enum TDriveState { dsReady, dsNotAccessible, dsWriteProtected };
// State of the drive (volume) that holds `path`; a relative path names the current folder's drive.
TDriveState DriveStateOf(const std::string& path);

// ---- Code pages ----
// Paths and names inside the program are UTF-8 on both systems ("ANSI" below); the Windows layer converts
// them at every call into the wide API. "OEM" is the system's OEM code page on Windows (866 for a Russian
// system) and code page 437 (the ZIP default) on POSIX.
std::string OemToAnsi(const std::string& text);
std::string AnsiToOem(const std::string& text);
bool IsDBCSLeadByte(uint8_t byte);  // never: UTF-8 has no double-byte lead bytes
// Windows-1251 bytes to UTF-8, and back (for the Russian texts of the program).
std::string Cp1251ToUtf8(const std::string& text);
std::string Utf8ToCp1251(const std::string& text);
// True when the bytes are well-formed UTF-8 (ASCII is).
bool IsUtf8(const std::string& text);
// A text of the program (Windows-1251 or ASCII) with each "%s" in turn replaced by the next argument (a
// path or a name, UTF-8). Where an argument has characters outside ASCII the whole text comes out in UTF-8,
// so the window or the console shows both the Russian words and the name right; else it stays 1251.
std::string ComposeText(const std::string& pattern1251, std::initializer_list<std::string> arguments);

// ---- Private-profile (INI) files ----
// Section and key names compare without regard to case; a missing file, section or key yields `def`.
std::string GetPrivateProfileString(const std::string& section,
                                    const std::string& key,
                                    const std::string& def,
                                    const std::string& file);
// Creates the file and the section when missing; false (with LastError()) when the file cannot be written.
bool WritePrivateProfileString(const std::string& section,
                               const std::string& key,
                               const std::string& value,
                               const std::string& file);

// ---- Shell ----
// SHFileOperation with FO_DELETE on a double-NUL list of names; returns the shell's result (0 = success).
// `flags` are the FOF_* bits; FOF_ALLOWUNDO uses the recycle bin where the platform has one.
constexpr uint16_t FOF_SILENT = 0x0004;
constexpr uint16_t FOF_NOCONFIRMATION = 0x0010;
constexpr uint16_t FOF_ALLOWUNDO = 0x0040;
constexpr uint16_t FOF_NOERRORUI = 0x0400;
int ShellDelete(const char* doubleNulList, uint16_t flags);
// ShellExecute(0, verb, file, params, dir, show); returns the shell's instance value (> 32 = success).
intptr_t ShellExecute(const std::string& verb,
                      const std::string& file,
                      const std::string& params,
                      const std::string& dir,
                      int show);

// ---- Time ----
uint32_t GetTickCount();  // milliseconds since an arbitrary start, wrapping at 2^32
void Sleep(uint32_t milliseconds);

}  // namespace platform
