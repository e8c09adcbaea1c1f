// Last-error storage and the mapping of errno values onto Windows error codes.
#include <cerrno>
#include <cstdio>

#include "platform/Paths.h"
#include "platform/posix/Posix.h"

namespace platform {

namespace {
thread_local uint32_t tLastError = kErrorSuccess;

// Windows codes that have no named constant in the interface (winerror.h numbering).
constexpr uint32_t kErrorNotSameDevice = 17;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorFilenameExcedRange = 206;
constexpr uint32_t kErrorIoDevice = 1117;
constexpr uint32_t kErrorCantResolveFilename = 1921;

struct TErrorText {
    uint32_t Code;
    const char* Text;
};
// Short English texts for the codes this program meets, worded after the Windows ones.
constexpr TErrorText kErrorTexts[] = {
    {kErrorSuccess, "The operation completed successfully."},
    {kErrorFileNotFound, "The system cannot find the file."},
    {kErrorPathNotFound, "The system cannot find the path."},
    {kErrorTooManyOpenFiles, "The system cannot open the file."},
    {kErrorAccessDenied, "Access is denied."},
    {kErrorInvalidHandle, "The handle is invalid."},
    {kErrorNotEnoughMemory, "Not enough memory resources are available to process this command."},
    {kErrorNotSameDevice, "The system cannot move the file to a different disk drive."},
    {kErrorNoMoreFiles, "There are no more files."},
    {kErrorWriteProtect, "The media is write protected."},
    {kErrorNotReady, "The device is not ready."},
    {kErrorGenFailure, "A device attached to the system is not functioning."},
    {kErrorSharingViolation, "The process cannot access the file because it is being used by another process."},
    {kErrorHandleEof, "Reached the end of the file."},
    {kErrorFileExists, "The file exists."},
    {kErrorInvalidParameter, "The parameter is incorrect."},
    {kErrorDiskFull, "There is not enough space on the disk."},
    {kErrorInvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {kErrorDirNotEmpty, "The directory is not empty."},
    {kErrorNegativeSeek, "An attempt was made to move the file pointer before the beginning of the file."},
    {kErrorAlreadyExists, "Cannot create a file when that file already exists."},
    {kErrorDirectory, "The directory name is invalid."},
    {kErrorFilenameExcedRange, "The filename or extension is too long."},
    {kErrorIoDevice, "The request could not be performed because of an I/O device error."},
    {kErrorCantResolveFilename, "The name of the file cannot be resolved by the system."},
};
}  // namespace

uint32_t LastError() {
    return tLastError;
}

void SetLastError(uint32_t code) {
    tLastError = code;
}

std::string SysErrorMessage(uint32_t code) {
    for (const auto& entry : kErrorTexts)
        if (entry.Code == code)
            return entry.Text;
    char text[64];
    std::snprintf(text, sizeof text, "Unknown error 0x%X.", code);
    return text;
}

namespace posix {

uint32_t WindowsError(int err, const std::string& path) {
    switch (err) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            if (!path.empty()) {
                struct stat st {};
                if (::stat(FolderOf(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                    return kErrorPathNotFound;
            }
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kErrorAccessDenied;
        case EROFS:
            return kErrorWriteProtect;
        case EEXIST:
            return kErrorFileExists;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case EBUSY:
        case ETXTBSY:
            return kErrorSharingViolation;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case EMFILE:
        case ENFILE:
            return kErrorTooManyOpenFiles;
        case EBADF:
            return kErrorInvalidHandle;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case EINVAL:
            return kErrorInvalidParameter;
        case ENAMETOOLONG:
            return kErrorFilenameExcedRange;
        case ELOOP:
            return kErrorCantResolveFilename;
        case EXDEV:
            return kErrorNotSameDevice;
        case EIO:
            return kErrorIoDevice;
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return kErrorNotReady;
        default:
            return kErrorGenFailure;
    }
}

bool Fail(int err, const std::string& path) {
    return FailWith(WindowsError(err, path));
}

bool FailWith(uint32_t code) {
    tLastError = code;
    return false;
}

}  // namespace posix
}  // namespace platform
